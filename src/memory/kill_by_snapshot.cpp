// Ending the first process that runs the infected file, through a tool-help snapshot (9x line).
#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>

#include "common/text.h"
#include "memory/entry_point.h"
#include "memory/process_backends.h"
#include "memory/process_end.h"
#include "platform/same_file.h"
#include "platform/system_library.h"

namespace {

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD flags, DWORD processId);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE snapshot, PROCESSENTRY32* entry);

const char* FileNamePart(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

// What the entry's executable field holds, or null when it fills the whole field: a path cut to
// fit would be judged by the beginning of another file's path.
const char* ExecutableOf(const PROCESSENTRY32& entry) {
    if (!std::memchr(entry.szExeFile, '\0', sizeof entry.szExeFile)) return nullptr;
    return entry.szExeFile;
}

// The 9x line gives the executable's full path, which must be the infected file itself: a
// program of the same name elsewhere (the real shell, say) is another program. A bare name, as
// the NT line gives it, can only be compared by name.
bool RunsFile(const PROCESSENTRY32& entry, const char* path, const char* target) {
    const char* executable = ExecutableOf(entry);
    if (!executable) return false;
    if (std::strchr(executable, '\\')) return SameFilePath(executable, path);
    return CompareNoCase(executable, target) == 0;
}

// Ends the first process of the snapshot that runs the file. An entry the system shows to run
// another file (a bare name can match a program elsewhere) does not count, and the walk goes on.
// The old systems this serves are slow to hand out entries, hence the pauses around every step.
int32_t EndFirstRunning(HMODULE library, PROCESSENTRY32* entry, const char* path, const char* target) {
    auto createSnapshot = LookUpEntryPoint<CreateSnapshotFn>(library, "CreateToolhelp32Snapshot");
    if (!createSnapshot) return 0;
    HANDLE snapshot = createSnapshot(TH32CS_SNAPPROCESS, 0);
    Sleep(100);
    if (snapshot == INVALID_HANDLE_VALUE || !snapshot) return 0;
    int32_t result = 0;
    auto first = LookUpEntryPoint<ProcessWalkFn>(library, "Process32First");
    entry->dwSize = sizeof *entry;
    bool have = first && first(snapshot, entry);
    while (have) {
        if (RunsFile(*entry, path, target)) {
            Sleep(50);
            const EndOutcome outcome =
                EndProcessRunning(entry->th32ProcessID, PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, path);
            if (outcome != EndOutcome::kOtherFile) {
                result = outcome == EndOutcome::kEnded ? 1 : 0;
                Sleep(500);
                break;
            }
        }
        auto next = LookUpEntryPoint<ProcessWalkFn>(library, "Process32Next");
        if (!next) break;
        Sleep(100);
        have = next(snapshot, entry) != FALSE;
        Sleep(100);
    }
    CloseHandle(snapshot);
    return result;
}

int32_t KillWith(HMODULE library, const char* path) {
    Sleep(100);
    if (!library) return 0;
    int32_t result = 0;
    auto* entry = static_cast<PROCESSENTRY32*>(std::calloc(1, sizeof(PROCESSENTRY32)));
    if (entry) {
        char target[MAX_PATH];
        CopyText(target, sizeof target, FileNamePart(path));
        for (char* c = target; *c; ++c) *c = UpperAscii(*c);
        result = EndFirstRunning(library, entry, path, target);
        std::free(entry);
    }
    FreeLibrary(library);
    return result;
}

}  // namespace

int32_t KillBySnapshotFrom(const char* libraryPath, const char* path) { return KillWith(LoadLibraryA(libraryPath), path); }

int32_t KillBySnapshot(const char* path) { return KillWith(LoadSystemLibrary("kernel32.dll"), path); }
