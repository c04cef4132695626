// CListBox: the list box messages the main window uses.
#pragma once
#include "framework/wnd.h"

class CListBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(Send(LB_GETCOUNT)); }
    void ResetContent() { Send(LB_RESETCONTENT); }
    int AddString(const char* text) { return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
    void SetCurSel(int index) { Send(LB_SETCURSEL, static_cast<WPARAM>(index)); }
    // The line's text into buffer (capacity bytes); false, with buffer empty, when it does not fit.
    bool GetLine(int index, char* buffer, int capacity) const;
    int GetHorizontalExtent() const { return static_cast<int>(Send(LB_GETHORIZONTALEXTENT)); }
    void SetHorizontalExtent(int extent) { Send(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent)); }
};
