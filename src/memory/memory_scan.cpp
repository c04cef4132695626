// The memory step of a scan: every running process's executable is checked, infected ones ended.
#include "memory/memory_scan.h"

#include <windows.h>
#include <tlhelp32.h>
#include <io.h>

#include <cstdlib>
#include <cstring>

#include "clean/service_image.h"
#include "clean/service_keys.h"
#include "memory/entry_point.h"
#include "memory/infected_process.h"
#include "memory/platform_probes.h"
#include "memory/process_end.h"
#include "memory/process_list.h"
#include "memory/process_status_list.h"
#include "memory/service_stop.h"
#include "platform/system_library.h"
#include "platform/wow64.h"
#include "scan/directory_walker.h"
#include "scan/scan_driver.h"
#include "scan/scan_state.h"
#include "ui/message_dialog.h"

int32_t MemoryRestartRequired = 0;

namespace {

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD flags, DWORD processId);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE snapshot, PROCESSENTRY32* entry);

constexpr int kReadable = 4;  // access mode: read permission

const char kRestartQuestion[] =
    "W32/Vorlex.Trojan  found in memory! registry entries created by the worm are removed. You must restart "
    "the computer and run this program to continue scanning.\n\nRestart the computer now?";

bool ActionRemovesOrRenames() {
    return RemovalAction == kActionDelete || RemovalAction == kActionRename || RemovalAction == kActionDelete2;
}

// Checks one executable in memory mode. Only a file that is there to be read is checked, and
// only a check made now counts: a hit left over from an earlier process must not condemn this one.
bool IsInfected(const char* path) {
    if (_access(path, kReadable) != 0) return false;
    DirectoryWalker(path);
    return MemoryHit;
}

// The second walk of the same path, in which the file checker removes the file.
void RemovalWalk(const char* path) {
    MemoryRemovalRequest = RemovalAction;
    DirectoryWalker(path);
    MemoryRemovalRequest = 0;
}

bool EndProcess(uint32_t processId, const char* path) {
    return EndProcessRunning(processId, PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, path) == EndOutcome::kEnded;
}

// Builds the list from a snapshot; false when the list is incomplete and nothing may be checked.
bool ListBySnapshot(HMODULE library, PROCESSENTRY32* entry, ProcessList* list) {
    auto createSnapshot = LookUpEntryPoint<CreateSnapshotFn>(library, "CreateToolhelp32Snapshot");
    auto first = LookUpEntryPoint<ProcessWalkFn>(library, "Process32First");
    if (!createSnapshot || !first) return false;
    HANDLE snapshot = createSnapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE || !snapshot) return false;
    bool complete = first(snapshot, entry) != FALSE;
    while (complete) {
        // An executable field filled to its end holds a path cut to fit: that process is not
        // listed, so it is neither judged nor ended by another file's name.
        const bool whole = std::memchr(entry->szExeFile, '\0', sizeof entry->szExeFile) != nullptr;
        if (whole && !list->Append(entry->th32ProcessID, entry->szExeFile)) {
            complete = false;
            break;
        }
        auto next = LookUpEntryPoint<ProcessWalkFn>(library, "Process32Next");
        if (!next) complete = false;
        else if (!next(snapshot, entry)) break;
    }
    CloseHandle(snapshot);
    return complete;
}

void OnDebugOpenRefused() {
    if (EnablePrivilege("SeDebugPrivilege") != kPrivilegeTokenNotOpened) return;
    FileSystemRedirectionPause windowCode;
    MessageBoxA(nullptr, "false", "TEMP", MB_OK);
}

// The process scan of the 9x line with the tool-help entry points of `library` (freed here).
int32_t ScanBySnapshotWith(HMODULE library) {
    if (!library) return 0;
    auto* entry = static_cast<PROCESSENTRY32*>(std::calloc(1, sizeof(PROCESSENTRY32)));
    int32_t found = 0;
    if (entry) {
        entry->dwSize = sizeof *entry;
        ProcessList list;
        if (ListBySnapshot(library, entry, &list)) {
            for (const ProcessNode* node = list.first(); node; node = node->next) {
                if (!IsInfected(node->path)) continue;
                found = 1;
                if (!ActionRemovesOrRenames()) continue;
                // Removed even when the process could not be ended: the file checker's own
                // fallbacks (ending by name, removal at restart) take over.
                EndProcess(node->processId, node->path);
                RemovalWalk(node->path);
            }
        }
        std::free(entry);
    }
    FreeLibrary(library);
    return found;
}

}  // namespace

InfectedProcessSteps MemoryScanSteps() {
    InfectedProcessSteps steps;
    steps.context = nullptr;
    steps.endProcess = [](void*, uint32_t processId, const char* path) { return EndProcess(processId, path); };
    steps.ntGeneration = [](void*) { return GetNtGeneration(); };
    steps.serviceRunsFile = [](void*, const char* name, const char* path) { return ServiceRunsFile(name, path); };
    steps.stopService = [](void*, const char* name) { return StopService(name); };
    steps.deleteServiceKeys = [](void*, const char* name, const char* path) { return DeleteServiceKeys(name, path); };
    steps.removalWalk = [](void*, const char* path) { RemovalWalk(path); };
    return steps;
}

int32_t ScanProcessesBySnapshotFrom(const char* libraryPath) { return ScanBySnapshotWith(LoadLibraryA(libraryPath)); }

int32_t ScanProcessesBySnapshot() { return ScanBySnapshotWith(LoadSystemLibrary("kernel32.dll")); }

int32_t ScanProcessesByStatus() {
    ProcessList list;
    if (ListProcessesByStatus(&list, OnDebugOpenRefused) != StatusListOutcome::kListed) return 0;
    const InfectedProcessSteps steps = MemoryScanSteps();
    int32_t stillRunning = 0;
    for (const ProcessNode* node = list.first(); node; node = node->next) {
        if (!IsInfected(node->path) || !ActionRemovesOrRenames()) continue;
        if (EndInfectedProcess(steps, node->processId, node->path, &MemoryRestartRequired)) stillRunning = 1;
    }
    return stillRunning;
}

void MemoryScan() {
    const int32_t generation = GetOsGeneration();
    MemoryScanMode = true;
    if (generation == 4) ScanProcessesBySnapshot();
    if (generation == 5 && ScanProcessesByStatus()) {
        if (MemoryRestartRequired == 1 && ShowMessageDialog(kRestartQuestion, "Purgix Ver 1.0", 0x41) == 1)
            RestartComputer();
        // The worm keeps running: scanning the drives now would only fight it.
        std::exit(0);
    }
    MemoryScanMode = false;
}
