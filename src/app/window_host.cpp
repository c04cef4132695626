// The main window as the scan's host: result lines and status through the window messages the
// engine has always sent, questions in the message dialog, and the walk's message pump.
#include "app/window_host.h"

#include "core/product_texts.h"
#include "core/scan_session.h"
#include "core/text.h"
#include "platform/wow64.h"
#include "ui/message_dialog.h"

HWND MainWindowHandle = nullptr;

namespace {

// Only a press of the Escape key asks; its release, which follows the key that answered the last
// question, must not ask again.
bool IsEscapePress(const MSG& message) {
    return (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && message.wParam == VK_ESCAPE;
}

// Every call runs window code, which may load DLLs of its own: with a 32-bit build's file-system
// redirection off for the scan, those would be the 64-bit ones.
class WindowHost final : public ScanHost {
public:
    void AddLine(const char* line) override {
        FileSystemRedirectionPause windowCode;
        if (line != Session.ReportLineBuffer) CopyText(Session.ReportLineBuffer, sizeof Session.ReportLineBuffer, line);
        SendMessageA(MainWindowHandle, UM_ADDLINE, 0, 0);
    }

    void ShowStatus(const char* text) override {
        FileSystemRedirectionPause windowCode;
        if (text != Session.StatusText) CopyText(Session.StatusText, sizeof Session.StatusText, text);
        SendMessageA(MainWindowHandle, UM_SHOWSTATUS, 0, 0);
    }

    int32_t Ask(const char* text, const char* title, uint32_t style) override {
        FileSystemRedirectionPause windowCode;
        return ShowMessageDialog(text, title, style);
    }

    void Notify(const char* text, const char* caption) override {
        FileSystemRedirectionPause windowCode;
        MessageBoxA(nullptr, text, caption, MB_OK);
    }

    bool PumpOneMessage() override {
        FileSystemRedirectionPause windowCode;
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
        // The key is consumed here so the dialog's own Escape handling never sees it; only a plain
        // No lets the walk go on.
        if (IsEscapePress(message)) return AskToTerminateScan(kProductTitle) != IDNO;
        // A quit or destroy pulled here would otherwise be lost to the modal loop that owns the
        // window; the walk unwinds instead and the message is not put back.
        if (message.message == WM_QUIT || message.message == WM_DESTROY) return true;
        TranslateMessage(&message);
        DispatchMessageA(&message);
        return false;
    }
};

}  // namespace

ScanHost& MainWindowHost() {
    static WindowHost host;
    return host;
}

int32_t AskToTerminateScan(const char* title) {
    return ShowMessageDialog(kTerminateQuestion, title, MB_YESNO | MB_ICONQUESTION);
}
