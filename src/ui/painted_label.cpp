// PaintedLabel: its own paint, on a band of the title blue, centred, from the top of the label.
#include "ui/painted_label.h"

#include "platform/gdi_objects.h"
#include "ui/skin_state.h"

namespace {
constexpr COLORREF kLabelBand = RGB(2, 77, 246);  // also the title band of the background artwork
}

LRESULT PaintedLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        Paint();
        return 0;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

void PaintedLabel::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    if (!dc) return;
    GetClientRect(hwnd(), &client_);
    GetWindowTextA(hwnd(), caption_, sizeof caption_);
    SetTextColor(dc, textColour_);
    {
        SelectedObject font(dc, LabelFont);
        SetBkColor(dc, kLabelBand);
        // Without DT_SINGLELINE the vertical centring has no effect: lines start at the top.
        DrawTextA(dc, caption_, -1, &client_, DT_CENTER | DT_VCENTER);
    }
    EndPaint(hwnd(), &paint);
}
