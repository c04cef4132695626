// Deletion of an infected file at the next start of Windows.
#include "remove/restart_removal.h"

#include <windows.h>

#include <cwchar>

#include "core/rename_list.h"
#include "platform/os_line.h"
#include "platform/path_forms.h"
#include "platform/wide_files.h"
#include "remove/rename_list_file.h"

int32_t ScheduleRemovalAtRestart(const char* path) {
    switch (GetOsGeneration()) {
    case kOsNt:
        // The NT line reports refusals of the delayed delete nowhere we could act on.
        MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        return 1;
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

int32_t ScheduleRemovalAtRestartWide(const wchar_t* widePath) {
    const WideFileFunctions* wide = NtWideFileFunctions();
    const PrefixedPath prefixed(widePath);
    if (!wide || !prefixed) return 0;
    // As for the ANSI path: refusals of the delayed delete are reported nowhere we could act on.
    wide->moveFileEx(prefixed.get(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return 1;
}
