// Keeps the main window alive during a walk: handles at most one waiting message per call.
#include "scan/message_pump.h"

#include <windows.h>

#include "platform/wow64.h"
#include "scan/scan_state.h"
#include "ui/message_dialog.h"

void PumpOneMessage() {
    // Whatever the message runs is window code, which may load DLLs of its own.
    FileSystemRedirectionPause windowCode;
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
    // Any message whose wParam carries the Escape code counts (a key-up as well as a key-down);
    // it is consumed here so the dialog's own Escape handling never sees it.
    if (LOWORD(message.wParam) == VK_ESCAPE) {
        if (ShowMessageDialog("Terminate the Scan now?", "Purgix Ver 1.0", MB_YESNO | MB_ICONQUESTION) != IDNO)
            ScanCancelled = true;
        return;
    }
    // A quit or destroy pulled here would otherwise be lost to the modal loop that owns the
    // window; the walk unwinds instead and the message is not put back.
    if (message.message == WM_QUIT || message.message == WM_DESTROY) {
        ScanCancelled = true;
        return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}
