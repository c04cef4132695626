// Deletion of an infected file at the next start of Windows.
#include "remove/restart_removal.h"

#include <windows.h>

#include <cwchar>

#include "core/rename_list.h"
#include "core/scan_session.h"
#include "platform/os_line.h"
#include "platform/path_forms.h"
#include "platform/wide_files.h"
#include "remove/rename_list_file.h"

namespace {

// Refused without the right to write the system's list of pending renames, for one: the file
// would then still be there after the restart, and nothing may promise otherwise.
bool SystemDelayedDelete(const char* path, const wchar_t* widePath) {
    if (!widePath) return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    const WideFileFunctions* wide = NtWideFileFunctions();
    const PrefixedPath prefixed(widePath);
    return wide && prefixed && wide->moveFileEx(prefixed.get(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace

DelayedDeleteFunction NtDelayedDelete = SystemDelayedDelete;

int32_t ScheduleRemovalAtRestart(const char* path) {
    switch (GetOsGeneration()) {
    case kOsNt:
        return NtDelayedDelete(path, nullptr) ? 1 : 0;
    case kOsNineX: {
        // The 9x start-up reads 8.3 paths only; a long path there would be ignored or misread.
        char shortPath[MAX_PATH] = "";
        DWORD length = GetShortPathNameA(path, shortPath, sizeof shortPath);
        if (length == 0 || length >= sizeof shortPath || !IsShortPathForm(shortPath)) return 0;
        return AddRenameListEntry("NUL", shortPath) ? 1 : 0;
    }
    default:
        return 0;
    }
}

int32_t ScheduleRemovalAtRestartWide(const wchar_t* widePath) { return NtDelayedDelete(nullptr, widePath) ? 1 : 0; }

int32_t ScheduleFileRemovalAtRestart(const NamedFile& file) {
    return file.wide ? ScheduleRemovalAtRestartWide(file.wide) : ScheduleRemovalAtRestart(file.shown);
}

bool LeaveFileForTheRestart(const NamedFile& file) {
    if (!ScheduleFileRemovalAtRestart(file)) return false;
    // Any removal waiting keeps the restart due: a later file whose scheduling fails must not
    // cancel it. The count tells a report which of the files left behind really wait for it.
    Session.RestartNeeded = 1;
    ++Session.RemovalsScheduled;
    return true;
}
