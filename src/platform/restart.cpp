// Restarting the machine at once, for a removal that waits for the next start of Windows.
#include "platform/restart.h"

#include <windows.h>

#include "platform/os_line.h"
#include "platform/privilege.h"

void RestartComputer() {
    // The 9x line has no privileges to ask for.
    if (GetOsGeneration() != kOsNineX && EnablePrivilege("SeShutdownPrivilege") != 0) return;
    ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0);
}
