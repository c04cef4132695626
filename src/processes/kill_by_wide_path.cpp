// Ending the processes that run a file the ANSI functions cannot name (NT line).
#include "processes/kill_by_wide_path.h"

#include <windows.h>

#include "core/text.h"
#include "core/text_buffer.h"
#include "platform/handles.h"
#include "platform/wide_files.h"
#include "processes/process_status_library.h"

namespace {
constexpr DWORD kMaxProcessIds = 1024;
constexpr DWORD kJudgeAndEnd = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE;
}  // namespace

int32_t KillFileProcessesWide(const wchar_t* widePath) {
    ProcessStatusLibrary psapi;
    if (!psapi.enumProcesses()) return 0;
    DWORD ids[kMaxProcessIds] = {};
    DWORD bytes = 0;
    if (!psapi.enumProcesses()(ids, sizeof ids, &bytes)) return 0;
    const DWORD count = bytes / sizeof(DWORD) < kMaxProcessIds ? bytes / sizeof(DWORD) : kMaxProcessIds;
    // Room for the longest path the wide functions know.
    TextBuffer<wchar_t> image(kMaxWidePathChars + 1);
    if (!image) return 0;
    for (DWORD i = 0; i < count; ++i) {
        OwnedHandle process(OpenProcess(kJudgeAndEnd, FALSE, ids[i]));
        if (!process || !psapi.WideImagePath(process.get(), image.data(), image.size())) continue;
        if (CompareNoCase(image.data(), widePath) != 0) continue;
        // The pause lets the ended process let go of its file before the delete is tried again.
        if (TerminateProcess(process.get(), 0)) Sleep(500);
    }
    return 1;
}
