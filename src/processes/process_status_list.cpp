// Listing the running processes and their executables through the process-status library.
#include "processes/process_status_list.h"

#include <windows.h>

#include "core/text_buffer.h"
#include "platform/handles.h"
#include "platform/wide_files.h"
#include "processes/process_status_library.h"

namespace {

constexpr DWORD kMaxProcessIds = 1024;
constexpr DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
constexpr DWORD kQueryLimitedInformation = 0x1000;  // NT 6 and later

HANDLE OpenForPath(DWORD processId, RefusedOpenHandler onRefused) {
    HANDLE process = OpenProcess(kQueryAndRead, FALSE, processId);
    if (!process && onRefused && GetLastError() == ERROR_ACCESS_DENIED) {
        onRefused();
        process = OpenProcess(kQueryAndRead, FALSE, processId);
    }
    return process;
}

}  // namespace

StatusListOutcome ListProcessesByStatus(ProcessList* list, RefusedOpenHandler onRefused) {
    ProcessStatusLibrary psapi;
    DWORD ids[kMaxProcessIds] = {};
    const DWORD count = psapi.ProcessIds(ids, kMaxProcessIds);
    if (count == 0 || !psapi.moduleFileName()) return StatusListOutcome::kUnavailable;

    for (DWORD i = 0; i < count; ++i) {
        HANDLE process = OpenForPath(ids[i], onRefused);
        if (!process) continue;
        // One byte beyond a node's path, so that a path cut to fit shows as too long and a
        // process is never judged, or ended, by the beginning of another file's path.
        char path[kProcessPathSize + 1];
        const ImagePathOutcome outcome = psapi.ImagePath(process, path, sizeof path);
        CloseHandle(process);
        if (outcome == ImagePathOutcome::kRead && !list->Append(ids[i], path)) return StatusListOutcome::kOutOfMemory;
    }
    return StatusListOutcome::kListed;
}

StatusListOutcome ListProcessesWide(WideProcessList* list, RefusedOpenHandler onRefused) {
    ProcessStatusLibrary psapi;
    DWORD ids[kMaxProcessIds] = {};
    const DWORD count = psapi.ProcessIds(ids, kMaxProcessIds);
    if (count == 0) return StatusListOutcome::kUnavailable;
    TextBuffer<wchar_t> path(kMaxWidePathChars + 1);
    if (!path) return StatusListOutcome::kOutOfMemory;
    for (DWORD i = 0; i < count; ++i) {
        OwnedHandle process(OpenForPath(ids[i], onRefused));
        if (!process) process.Reset(OpenProcess(kQueryLimitedInformation, FALSE, ids[i]));
        if (!process || !psapi.WideImagePath(process.get(), path.data(), path.size())) continue;
        if (!list->Append(ids[i], path.data())) return StatusListOutcome::kOutOfMemory;
    }
    return StatusListOutcome::kListed;
}
