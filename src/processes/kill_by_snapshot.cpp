// Ending the first process that runs the infected file, through a tool-help snapshot (9x line).
#include <windows.h>

#include <cstring>

#include "core/path_text.h"
#include "core/text.h"
#include "platform/handles.h"
#include "platform/same_file.h"
#include "platform/system_library.h"
#include "processes/process_backends.h"
#include "processes/process_end.h"
#include "processes/toolhelp_snapshot.h"

namespace {

// The 9x line gives the executable's full path, which must be the infected file itself: a
// program of the same name elsewhere (the real shell, say) is another program. A bare name, as
// the NT line gives it, can only be compared by name.
bool RunsFile(const ProcessSnapshot& snapshot, const char* path, const char* target) {
    const char* executable = snapshot.WholeExecutable();
    if (!executable) return false;
    if (std::strchr(executable, '\\')) return SameFilePath(executable, path);
    return CompareNoCase(executable, target) == 0;
}

// Ends the first process of the snapshot that runs the file. An entry the system shows to run
// another file (a bare name can match a program elsewhere), or does not show at all, does not
// count, and the walk goes on.
int32_t EndFirstRunning(HMODULE library, const char* path, const char* target) {
    ProcessSnapshot snapshot(library, true);
    if (!snapshot.taken()) return 0;
    for (bool have = snapshot.First(); have; have = snapshot.Next() == ProcessSnapshot::Step::kEntry) {
        if (!RunsFile(snapshot, path, target)) continue;
        Sleep(50);
        // Confirmed just before the end: the snapshot may be seconds old by now.
        const EndOutcome outcome = EndProcessRunning(snapshot.entry().th32ProcessID, NamedFile{path, nullptr});
        if (outcome == EndOutcome::kOtherFile || outcome == EndOutcome::kUnverified) continue;
        Sleep(500);
        return outcome == EndOutcome::kEnded ? 1 : 0;
    }
    return 0;
}

int32_t KillWith(HMODULE loaded, const char* path) {
    OwnedLibrary library(loaded);
    Sleep(100);
    if (!library) return 0;
    char target[MAX_PATH];
    CopyText(target, sizeof target, FileNamePart(path));
    for (char* c = target; *c; ++c) *c = UpperAscii(*c);
    return EndFirstRunning(library.get(), path, target);
}

}  // namespace

int32_t KillBySnapshotFrom(const char* libraryPath, const char* path) { return KillWith(LoadLibraryA(libraryPath), path); }

int32_t KillBySnapshot(const char* path) { return KillWith(LoadSystemLibrary("kernel32.dll"), path); }
