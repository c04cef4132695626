// Ending the first process that runs a file of the infected file's name, through a tool-help snapshot (9x line).
#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>

#include "common/text.h"
#include "memory/entry_point.h"
#include "memory/process_backends.h"

namespace {

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD flags, DWORD processId);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE snapshot, PROCESSENTRY32* entry);

const char* FileNamePart(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

bool RunsFile(PROCESSENTRY32* entry, const char* target) {
    entry->szExeFile[sizeof entry->szExeFile - 1] = '\0';
    return CompareNoCase(FileNamePart(entry->szExeFile), target) == 0;
}

// Walks the snapshot to the first entry that runs `target`; the old systems this serves are
// slow to hand out entries, hence the pauses around every step.
bool FindByName(HMODULE library, HANDLE snapshot, PROCESSENTRY32* entry, const char* target) {
    auto first = LookUpEntryPoint<ProcessWalkFn>(library, "Process32First");
    if (!first) return false;
    entry->dwSize = sizeof *entry;
    if (!first(snapshot, entry)) return false;
    if (RunsFile(entry, target)) return true;
    for (;;) {
        auto next = LookUpEntryPoint<ProcessWalkFn>(library, "Process32Next");
        if (!next) return false;
        Sleep(100);
        if (!next(snapshot, entry)) return false;
        Sleep(100);
        if (RunsFile(entry, target)) return true;
    }
}

int32_t EndFirstRunning(HMODULE library, PROCESSENTRY32* entry, const char* target) {
    auto createSnapshot = LookUpEntryPoint<CreateSnapshotFn>(library, "CreateToolhelp32Snapshot");
    if (!createSnapshot) return 0;
    HANDLE snapshot = createSnapshot(TH32CS_SNAPPROCESS, 0);
    Sleep(100);
    if (snapshot == INVALID_HANDLE_VALUE || !snapshot) return 0;
    int32_t result = 0;
    if (FindByName(library, snapshot, entry, target)) {
        Sleep(50);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, entry->th32ProcessID);
        if (process && TerminateProcess(process, 0)) result = 1;
        Sleep(500);
        if (process) CloseHandle(process);
    }
    CloseHandle(snapshot);
    return result;
}

}  // namespace

int32_t KillBySnapshotFrom(const char* libraryName, const char* path) {
    HMODULE library = LoadLibraryA(libraryName);
    Sleep(100);
    if (!library) return 0;
    int32_t result = 0;
    auto* entry = static_cast<PROCESSENTRY32*>(std::calloc(1, sizeof(PROCESSENTRY32)));
    if (entry) {
        char target[MAX_PATH];
        CopyText(target, sizeof target, FileNamePart(path));
        for (char* c = target; *c; ++c) *c = UpperAscii(*c);
        result = EndFirstRunning(library, entry, target);
        std::free(entry);
    }
    FreeLibrary(library);
    return result;
}

int32_t KillBySnapshot(const char* path) { return KillBySnapshotFrom("Kernel32.dll", path); }
