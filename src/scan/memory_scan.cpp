// The memory step of a scan: every running process's executable is checked, infected ones ended.
#include "scan/memory_scan.h"

#include <windows.h>

#include <io.h>

#include "clean/service_image.h"
#include "clean/service_keys.h"
#include "core/process_list.h"
#include "core/report.h"
#include "core/scan_session.h"
#include "core/text.h"
#include "disinfect/file_checker.h"
#include "platform/handles.h"
#include "platform/os_line.h"
#include "platform/privilege.h"
#include "platform/system_library.h"
#include "processes/process_end.h"
#include "processes/process_status_list.h"
#include "processes/service_stop.h"
#include "processes/toolhelp_snapshot.h"

namespace {

constexpr int kReadable = 4;  // access mode: read permission

bool ActionRemovesOrRenames() {
    return Session.RemovalAction == kActionDelete || Session.RemovalAction == kActionRename ||
           Session.RemovalAction == kActionDelete2;
}

// Offers a running program's executable the way the walk offers a file: a pump and cancel check
// before and after, its path in the status label, nothing counted as scanned. `act` runs only for
// a file that is there, not for a folder of that name.
template <typename Act>
void OfferExecutable(const char* path, Act act) {
    WIN32_FIND_DATAA entry;
    OwnedSearch search(FindFirstFileA(path, &entry));
    if (!search) return;
    if (PumpAndCheckCancel()) return;
    ShowPathStatus(path);
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) act();
    PumpAndCheckCancel();
}

// The record a running program's executable matches, or -1. Only a file that is there to be
// read is checked.
int InfectedRecord(const char* path) {
    int record = -1;
    if (_access(path, kReadable) == 0) OfferExecutable(path, [&] { record = CheckRunningExecutable(path); });
    return record;
}

// Offered once more, the file of an ended process is removed.
void RemoveFile(const char* path, int record) {
    OfferExecutable(path, [&] {
        char shown[kStatusTextSize];
        CopyText(shown, sizeof shown, Session.StatusText);
        RemoveEndedExecutable(path, shown, record);
    });
}

bool EndProcess(uint32_t processId, const char* path) {
    return EndProcessRunning(processId, PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, path) == EndOutcome::kEnded;
}

// Builds the list from a snapshot; false when the list is incomplete and nothing may be checked.
bool ListBySnapshot(HMODULE library, ProcessList* list) {
    ProcessSnapshot snapshot(library, false);
    if (!snapshot.taken() || !snapshot.First()) return false;
    for (;;) {
        // A process whose executable field is cut is not listed, so it is neither judged nor ended.
        const char* executable = snapshot.WholeExecutable();
        if (executable && !list->Append(snapshot.entry().th32ProcessID, executable)) return false;
        switch (snapshot.Next()) {
        case ProcessSnapshot::Step::kEntry: break;
        case ProcessSnapshot::Step::kEnd: return true;
        case ProcessSnapshot::Step::kNoEntryPoint: return false;
        }
    }
}

void OnDebugOpenRefused() {
    if (EnablePrivilege("SeDebugPrivilege") == kPrivilegeTokenNotOpened) NotifyUser("false", "TEMP");
}

// The process scan of the 9x line with the tool-help entry points of `loaded` (freed here).
int32_t ScanBySnapshotWith(HMODULE loaded) {
    OwnedLibrary library(loaded);
    if (!library) return 0;
    ProcessList list;
    if (!ListBySnapshot(library.get(), &list)) return 0;
    int32_t found = 0;
    for (const ProcessNode* node = list.first(); node; node = node->next) {
        const int record = InfectedRecord(node->path);
        if (record < 0) continue;
        found = 1;
        if (!ActionRemovesOrRenames()) continue;
        // Removed even when the process could not be ended: the file checker's own fallbacks
        // (ending by name, removal at restart) take over.
        EndProcess(node->processId, node->path);
        RemoveFile(node->path, record);
    }
    return found;
}

}  // namespace

InfectedProcessSteps MemoryScanSteps(const int* record) {
    InfectedProcessSteps steps;
    steps.context = const_cast<int*>(record);
    steps.endProcess = [](void*, uint32_t processId, const char* path) { return EndProcess(processId, path); };
    steps.ntGeneration = [](void*) { return static_cast<int32_t>(GetNtGeneration()); };
    steps.serviceRunsFile = [](void*, const char* name, const char* path) { return ServiceRunsFile(name, path); };
    steps.stopService = [](void*, const char* name) { return StopService(name); };
    steps.deleteServiceKeys = [](void*, const char* name, const char* path) { return DeleteServiceKeys(name, path); };
    steps.removalWalk = [](void* context, const char* path) { RemoveFile(path, *static_cast<const int*>(context)); };
    return steps;
}

int32_t ScanProcessesBySnapshotFrom(const char* libraryPath) { return ScanBySnapshotWith(LoadLibraryA(libraryPath)); }

int32_t ScanProcessesBySnapshot() { return ScanBySnapshotWith(LoadSystemLibrary("kernel32.dll")); }

int32_t ScanProcessesByStatus(int32_t* restartRequired) {
    ProcessList list;
    if (ListProcessesByStatus(&list, OnDebugOpenRefused) != StatusListOutcome::kListed) return 0;
    int32_t stillRunning = 0;
    for (const ProcessNode* node = list.first(); node; node = node->next) {
        const int record = InfectedRecord(node->path);
        if (record < 0 || !ActionRemovesOrRenames()) continue;
        if (!EndInfectedProcess(MemoryScanSteps(&record), node->processId, node->path, restartRequired)) continue;
        // The front end may still have the first such worm's file removed at the restart.
        if (!stillRunning) CopyText(Session.RunningWormPath, sizeof Session.RunningWormPath, node->path);
        stillRunning = 1;
    }
    return stillRunning;
}

MemoryScanResult MemoryScan() {
    MemoryScanResult result = {false, false};
    switch (GetOsGeneration()) {
    case kOsNineX:
        ScanProcessesBySnapshot();
        break;
    case kOsNt: {
        int32_t restartRequired = 0;
        result.wormKeepsRunning = ScanProcessesByStatus(&restartRequired) != 0;
        result.restartRequired = restartRequired == 1;
        break;
    }
    default:
        break;
    }
    return result;
}
