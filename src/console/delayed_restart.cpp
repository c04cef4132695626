// Restarting the machine after an unattended run: delayed on the NT line, at once on the 9x line.
#include "console/delayed_restart.h"

#include <windows.h>

#include "platform/entry_point.h"
#include "platform/os_line.h"
#include "platform/privilege.h"

namespace {

using InitiateShutdown = BOOL(WINAPI*)(LPSTR machine, LPSTR message, DWORD seconds, BOOL forceAppsClosed, BOOL reboot);

char kRestartMessage[] = "Purgix restarts the computer to finish removing W32/Vorlex.";

}  // namespace

bool StartRestart() {
    // The 9x line has no privileges and no delayed shutdown; its restart is asked for last of all.
    if (GetOsGeneration() == kOsNineX) return ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0) != FALSE;
    if (EnablePrivilege("SeShutdownPrivilege") != 0) return false;
    const HMODULE advapi = GetModuleHandleA("advapi32.dll");
    const auto initiate = advapi ? LookUpEntryPoint<InitiateShutdown>(advapi, "InitiateSystemShutdownA") : nullptr;
    if (initiate) return initiate(nullptr, kRestartMessage, kRestartDelaySeconds, TRUE, TRUE) != FALSE;
    return ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0) != FALSE;
}
