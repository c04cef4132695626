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
    DWORD ids[kMaxProcessIds] = {};
    const DWORD count = psapi.ProcessIds(ids, kMaxProcessIds);
    if (count == 0) return 0;
    for (DWORD i = 0; i < count; ++i) {
        // The pause lets the ended process let go of its file before the delete is tried again.
        if (EndProcessRunning(ids[i], NamedFile{"", widePath}) == EndOutcome::kEnded) Sleep(500);
    }
    return 1;
}
