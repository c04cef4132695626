// Owners of drawing objects, so each is freed once on every way out: brushes, bitmaps, fonts and
// regions, memory device contexts, a window's device context, and an object selected into one.
#pragma once
#include <windows.h>

#include "platform/handles.h"

namespace handle_rules {
template <typename Object>
struct GdiObject {
    static bool IsOpen(Object h) { return h != nullptr; }
    static bool Close(Object h) { return DeleteObject(h) != FALSE; }
};
struct MemoryDc {
    static bool IsOpen(HDC h) { return h != nullptr; }
    static bool Close(HDC h) { return DeleteDC(h) != FALSE; }
};
}  // namespace handle_rules

using OwnedBrush = Owned<HBRUSH, handle_rules::GdiObject<HBRUSH>>;
using OwnedBitmap = Owned<HBITMAP, handle_rules::GdiObject<HBITMAP>>;
using OwnedFont = Owned<HFONT, handle_rules::GdiObject<HFONT>>;
using OwnedRegion = Owned<HRGN, handle_rules::GdiObject<HRGN>>;
// A device context of CreateCompatibleDC.
using OwnedMemoryDc = Owned<HDC, handle_rules::MemoryDc>;

// A window's device context (GetDC), released when this goes.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context until this goes, when what was there before is put
// back (a context must not be deleted, nor its object freed, while the object is selected).
class SelectedObject {
public:
    SelectedObject() = default;
    SelectedObject(HDC dc, HGDIOBJ object) { Select(dc, object); }
    ~SelectedObject() { Restore(); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

    // Selects `object` (nothing when either is null), putting back an earlier selection first.
    void Select(HDC dc, HGDIOBJ object) {
        Restore();
        if (!dc || !object) return;
        previous_ = SelectObject(dc, object);
        dc_ = previous_ ? dc : nullptr;
    }
    void Restore() {
        if (dc_) SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
    }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};
