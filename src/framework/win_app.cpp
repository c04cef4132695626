// CWinApp: registration of the one instance and the program's run.
#include "framework/win_app.h"

CWinApp* CWinApp::current_ = nullptr;

CWinApp::CWinApp() { current_ = this; }

CWinApp::~CWinApp() {
    if (current_ == this) current_ = nullptr;
}

int CWinApp::Run() {
    if (!InitInstance()) return ExitInstance();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    ExitInstance();
    return static_cast<int>(message.wParam);
}
