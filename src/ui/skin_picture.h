// A picture of the skin: a bitmap resource, drawn through a memory device context it keeps.
#pragma once
#include <windows.h>

#include "platform/gdi_objects.h"

class SkinPicture {
public:
    // Loads bitmap resource `id` (the three greys mapped to the system's button colours); false
    // when it is missing. A picture loaded before is freed.
    bool Load(int id);
    HBITMAP bitmap() const { return bitmap_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // Copies the picture to `dc` at (x, y), `width` by `height` pixels of it. The first drawing
    // selects the bitmap into a context of its own, where it stays: until then the bitmap is free
    // to be read through another context (a bitmap is selected into one at a time).
    void Draw(HDC dc, int x, int y, int width, int height);

private:
    // Declared in this order so the selection is undone before the context and the bitmap go.
    OwnedBitmap bitmap_;
    OwnedMemoryDc dc_;
    SelectedObject selection_;
    int width_ = 0;
    int height_ = 0;
};
