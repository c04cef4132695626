// A picture of the skin: a bitmap resource, drawn through a memory device context it keeps.
#include "ui/skin_picture.h"

bool SkinPicture::Load(int id) {
    selection_.Restore();
    dc_.Close();
    bitmap_.Reset(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    width_ = height_ = 0;
    if (!bitmap_) return false;
    BITMAP info;
    if (GetObjectA(bitmap_.get(), sizeof info, &info)) {
        width_ = info.bmWidth;
        height_ = info.bmHeight;
    }
    return true;
}

void SkinPicture::Draw(HDC dc, int x, int y, int width, int height) {
    if (!dc || !bitmap_) return;
    if (!selection_) {
        if (!dc_) dc_.Reset(CreateCompatibleDC(nullptr));
        selection_.Select(dc_.get(), bitmap_.get());
    }
    if (selection_) BitBlt(dc, x, y, width, height, dc_.get(), 0, 0, SRCCOPY);
}
