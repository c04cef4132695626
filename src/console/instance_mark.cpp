// The hidden window that marks an unattended run, and the pump that keeps it answering.
#include "console/instance_mark.h"

#include "console/cancel_signal.h"
#include "core/product_texts.h"

namespace {

constexpr char kMarkClass[] = "PurgixCmdRunMark";

LRESULT CALLBACK MarkProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        RequestCancel();
        return 0;  // the run ends the program once its reports are written
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) RequestCancel();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

bool PurgixIsRunning() { return FindWindowA(nullptr, kProductTitle) != nullptr; }

InstanceMark::~InstanceMark() {
    if (window_) DestroyWindow(window_);
}

bool InstanceMark::Create() {
    WNDCLASSA type = {};
    type.lpfnWndProc = MarkProcedure;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = kMarkClass;
    if (!RegisterClassA(&type)) return false;
    // Top-level (a message-only window would be invisible to FindWindow), never shown.
    window_ = CreateWindowExA(0, kMarkClass, kProductTitle, WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, type.hInstance,
                              nullptr);
    return window_ != nullptr;
}

void PumpOneThreadMessage() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
    if (message.message == WM_QUIT) {
        RequestCancel();
        return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}
