// Ending the processes that run a file the ANSI functions cannot name (NT line).
#include "processes/kill_by_wide_path.h"

#include <windows.h>

#include "processes/process_end.h"
#include "processes/process_status_library.h"

namespace {
constexpr DWORD kMaxProcessIds = 1024;
}  // namespace

int32_t KillFileProcessesWide(const wchar_t* widePath) {
    ProcessStatusLibrary psapi;
    if (!psapi.enumProcesses()) return 0;
    DWORD ids[kMaxProcessIds] = {};
    DWORD bytes = 0;
    if (!psapi.enumProcesses()(ids, sizeof ids, &bytes)) return 0;
    const DWORD count = bytes / sizeof(DWORD) < kMaxProcessIds ? bytes / sizeof(DWORD) : kMaxProcessIds;
    for (DWORD i = 0; i < count; ++i) {
        // The pause lets the ended process let go of its file before the delete is tried again.
        if (EndProcessRunning(ids[i], NamedFile{"", widePath}) == EndOutcome::kEnded) Sleep(500);
    }
    return 1;
}
