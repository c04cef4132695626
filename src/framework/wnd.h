// CWnd: a window handle with a virtual window procedure, taken over by swapping the procedure.
#pragma once
#include <windows.h>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND hwnd() const { return hwnd_; }

    // Routes the window's messages through WindowProc; the old procedure does the default work.
    // `this` lives in the window's user data until the window is destroyed or released.
    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, const CWnd& parent);
    void UnsubclassWindow();

    // The object behind a window this layer took over, or nullptr for any other window (its user
    // data may belong to someone else, so the window procedure is checked first).
    static CWnd* FromHandle(HWND window);

    // A message the parent passes back to the control it concerns (WM_DRAWITEM, WM_CTLCOLOR*):
    // true with *result set when handled here, false to let the parent decide.
    virtual bool ReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    void Show(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }
    void Enable(bool enabled) { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
    void SetText(const char* text) { SetWindowTextA(hwnd_, text); }
    void Invalidate(bool erase) { InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return SendMessageA(hwnd_, message, wParam, lParam); }
    // Places this window's centre over the other window's centre, kept on the work area of the
    // monitor that holds the other window.
    void CenterOver(HWND other);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The processing the window had before it was taken over.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC previousProc_ = nullptr;
};
