// CWnd: procedure swapping, the `this` lookup through the window's user data, default chaining.
#include "framework/wnd.h"

#include "platform/work_area.h"

CWnd::~CWnd() { UnsubclassWindow(); }

bool CWnd::SubclassWindow(HWND window) {
    if (!window || hwnd_ || FromHandle(window)) return false;
    hwnd_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previousProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    if (!previousProc_) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        return false;
    }
    return true;
}

bool CWnd::SubclassDlgItem(int id, const CWnd& parent) { return SubclassWindow(GetDlgItem(parent.hwnd(), id)); }

void CWnd::UnsubclassWindow() {
    if (!hwnd_) return;
    if (IsWindow(hwnd_) && FromHandle(hwnd_) == this) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    }
    hwnd_ = nullptr;
    previousProc_ = nullptr;
}

CWnd* CWnd::FromHandle(HWND window) {
    if (!window) return nullptr;
    const LONG_PTR proc = GetWindowLongPtrA(window, GWLP_WNDPROC);
    if (proc != reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)) return nullptr;
    return reinterpret_cast<CWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool CWnd::ReflectedMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

void CWnd::CenterOver(HWND other) {
    RECT mine, theirs, work;
    if (!GetWindowRect(hwnd_, &mine) || !GetWindowRect(other, &theirs)) return;
    const LONG width = mine.right - mine.left;
    const LONG height = mine.bottom - mine.top;
    LONG x = theirs.left + ((theirs.right - theirs.left) - width) / 2;
    LONG y = theirs.top + ((theirs.bottom - theirs.top) - height) / 2;
    // Kept within the work area of the monitor that holds the other window, not the primary one's.
    if (WorkAreaOf(other, &work)) {
        if (x + width > work.right) x = work.right - width;
        if (y + height > work.bottom) y = work.bottom - height;
        if (x < work.left) x = work.left;
        if (y < work.top) y = work.top;
    }
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) { return Default(message, wParam, lParam); }

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    if (previousProc_) return CallWindowProcA(previousProc_, hwnd_, message, wParam, lParam);
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = reinterpret_cast<CWnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message != WM_NCDESTROY) return self->WindowProc(message, wParam, lParam);
    // The old procedure still sees the last message; afterwards the object lets go of the window.
    const WNDPROC previous = self->previousProc_;
    self->UnsubclassWindow();
    return CallWindowProcA(previous, window, message, wParam, lParam);
}
