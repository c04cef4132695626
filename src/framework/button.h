// CButton: a button control; an owner-drawn one paints itself from the reflected WM_DRAWITEM.
#pragma once
#include "framework/wnd.h"

class CButton : public CWnd {
public:
    bool ReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message != WM_DRAWITEM) return CWnd::ReflectedMessage(message, wParam, lParam, result);
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        *result = TRUE;
        return true;
    }

protected:
    virtual void DrawItem(const DRAWITEMSTRUCT& item) { (void)item; }
};
