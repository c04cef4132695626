// PaintedLabel: a static text that paints its caption white on blue in the shared label font.
#pragma once
#include <windows.h>

#include "framework/static_control.h"

class PaintedLabel : public CStatic {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();

    char caption_[260] = "";
    RECT client_ = {0, 0, 0, 0};
    COLORREF textColour_ = RGB(255, 255, 255);
};
