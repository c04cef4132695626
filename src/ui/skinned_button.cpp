// Skinned buttons: loading the caption's pictures, drawing the one for the state, lighting up.
#include "ui/skinned_button.h"

#include "core/text.h"

namespace {

HBITMAP LoadNamedBitmap(const char* name) {
    // The 3-D mapping keeps the pictures in step with the system's button colours.
    return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
}

bool NameWithSuffix(char* out, size_t capacity, const char* caption, const char* suffix) {
    return CopyText(out, capacity, caption) && AppendText(out, capacity, suffix);
}

}  // namespace

bool SkinnedButton::LoadFromCaption(int id, const CWnd& parent) {
    if (!hwnd() && !SubclassDlgItem(id, parent)) return false;
    char caption[64];
    if (GetWindowTextA(hwnd(), caption, sizeof caption) <= 0) return false;
    char focusName[80], normalName[80], disabledName[80];
    // A caption too long for a picture name simply finds no picture.
    if (!NameWithSuffix(focusName, sizeof focusName, caption, "_FOCUS")) focusName[0] = '\0';
    if (!NameWithSuffix(normalName, sizeof normalName, caption, "_NOTFOCUS")) normalName[0] = '\0';
    if (!NameWithSuffix(disabledName, sizeof disabledName, caption, "_DISABLE")) disabledName[0] = '\0';
    LoadStateBitmaps(focusName, normalName, disabledName);
    return true;
}

bool SkinnedButton::LoadStateBitmaps(const char* focusName, const char* normalName, const char* disabledName) {
    focusBitmap_.Reset(*focusName ? LoadNamedBitmap(focusName) : nullptr);
    normalBitmap_.Reset(nullptr);
    disabledBitmap_.Reset(nullptr);
    if (!focusBitmap_) return false;
    normalBitmap_.Reset(*normalName ? LoadNamedBitmap(normalName) : nullptr);
    if (!normalBitmap_) return false;
    if (*disabledName) disabledBitmap_.Reset(LoadNamedBitmap(disabledName));
    return SizeToBitmap();
}

bool SkinnedButton::SizeToBitmap() {
    BITMAP info;
    if (!normalBitmap_ || !GetObjectA(normalBitmap_.get(), sizeof info, &info)) return false;
    if (!SetWindowPos(hwnd(), nullptr, 0, 0, info.bmWidth, info.bmHeight,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE)) {
        return false;
    }
    hitRect_ = RECT{0, 0, info.bmWidth, info.bmHeight};
    return true;
}

void SkinnedButton::DrawItem(const DRAWITEMSTRUCT& item) {
    // The focus picture wins even over the disabled state; pressed and focus bits are not shown.
    const OwnedBitmap& picture =
        hoverLit_ == 1 ? focusBitmap_ : (item.itemState & ODS_DISABLED) ? disabledBitmap_ : normalBitmap_;
    OwnedMemoryDc memory(CreateCompatibleDC(item.hDC));
    SelectedObject selection(memory.get(), picture.get());
    if (!selection) return;
    const RECT& r = item.rcItem;
    BitBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory.get(), 0, 0, SRCCOPY);
}

void SkinnedButton::SetLit(int32_t lit) {
    hoverLit_ = lit;
    Invalidate(false);
}

LRESULT SkinnedButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE: {
        // Holding the capture is how the button hears the mouse leave it.
        if (GetCapture() != hwnd()) {
            SetFocus(hwnd());
            hoverLit_ = 1;
            SetCapture(hwnd());
            Invalidate(false);
        } else {
            const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (!PtInRect(&hitRect_, point)) {
                ReleaseCapture();
                SetLit(0);
            }
        }
        return Default(message, wParam, lParam);
    }
    case WM_SETFOCUS: {
        const LRESULT result = Default(message, wParam, lParam);
        SetLit(1);
        return result;
    }
    case WM_KILLFOCUS: {
        const LRESULT result = Default(message, wParam, lParam);
        SetLit(0);
        return result;
    }
    default:
        return CButton::WindowProc(message, wParam, lParam);
    }
}
