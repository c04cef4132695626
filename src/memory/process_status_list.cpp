// Listing the running processes and their executables through the process-status library.
#include "memory/process_status_list.h"

#include <windows.h>

#include "memory/entry_point.h"

namespace {

using EnumProcessesFn = BOOL(WINAPI*)(DWORD* ids, DWORD bytes, DWORD* bytesReturned);
using GetModuleFileNameExAFn = DWORD(WINAPI*)(HANDLE process, HMODULE module, char* name, DWORD size);

constexpr DWORD kMaxProcessIds = 1024;
constexpr DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;

HANDLE OpenForPath(DWORD processId, RefusedOpenHandler onRefused) {
    HANDLE process = OpenProcess(kQueryAndRead, FALSE, processId);
    if (!process && onRefused && GetLastError() == ERROR_ACCESS_DENIED) {
        onRefused();
        process = OpenProcess(kQueryAndRead, FALSE, processId);
    }
    return process;
}

StatusListOutcome ListWith(HMODULE psapi, ProcessList* list, RefusedOpenHandler onRefused) {
    auto enumProcesses = LookUpEntryPoint<EnumProcessesFn>(psapi, "EnumProcesses");
    if (!enumProcesses) return StatusListOutcome::kUnavailable;
    DWORD ids[kMaxProcessIds] = {};
    DWORD bytes = 0;
    if (!enumProcesses(ids, sizeof ids, &bytes)) bytes = 0;
    DWORD count = bytes / sizeof(DWORD);
    if (count > kMaxProcessIds) count = kMaxProcessIds;
    if (count == 0) return StatusListOutcome::kUnavailable;
    auto moduleFileName = LookUpEntryPoint<GetModuleFileNameExAFn>(psapi, "GetModuleFileNameExA");
    if (!moduleFileName) return StatusListOutcome::kUnavailable;

    for (DWORD i = 0; i < count; ++i) {
        HANDLE process = OpenForPath(ids[i], onRefused);
        if (!process) continue;
        char path[kProcessPathSize] = {};
        DWORD length = moduleFileName(process, nullptr, path, sizeof path);
        CloseHandle(process);
        path[sizeof path - 1] = '\0';
        if (length != 0 && !list->Append(ids[i], path)) return StatusListOutcome::kOutOfMemory;
    }
    return StatusListOutcome::kListed;
}

}  // namespace

StatusListOutcome ListProcessesByStatus(ProcessList* list, RefusedOpenHandler onRefused) {
    HMODULE psapi = LoadLibraryA("psapi.dll");
    if (!psapi) return StatusListOutcome::kUnavailable;
    StatusListOutcome outcome = ListWith(psapi, list, onRefused);
    FreeLibrary(psapi);
    return outcome;
}
