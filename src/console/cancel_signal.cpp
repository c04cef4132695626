// The console control handler of an unattended run and the flag the scan's message pump reads.
#include "console/cancel_signal.h"

#include <windows.h>

namespace {

// Set from the handler's thread, read by the scan's: an aligned LONG is read whole on every
// processor Windows runs on, and InterlockedExchange exists on the 9x line too.
volatile LONG cancelRequested = 0;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        RequestCancel();
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        RequestCancel();
        // Returning would let the system end the process now, reports unwritten. The scan stops
        // at its next message pump, and the run writes its reports and ends the process itself.
        Sleep(INFINITE);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void ListenForCancel() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

void RequestCancel() { InterlockedExchange(const_cast<LONG*>(&cancelRequested), 1); }

bool CancelRequested() { return cancelRequested != 0; }
