// The memory step of a scan: every running process's executable is checked, infected ones ended.
#include "scan/memory_scan.h"

#include <windows.h>

#include <io.h>

#include <cstdlib>

#include "clean/service_image.h"
#include "clean/service_keys.h"
#include "core/infected_process.h"
#include "core/process_list.h"
#include "core/product_texts.h"
#include "core/report.h"
#include "core/scan_session.h"
#include "platform/handles.h"
#include "platform/os_line.h"
#include "platform/privilege.h"
#include "platform/restart.h"
#include "platform/system_library.h"
#include "processes/process_end.h"
#include "processes/process_status_list.h"
#include "processes/service_stop.h"
#include "processes/toolhelp_snapshot.h"
#include "scan/directory_walker.h"

namespace {

constexpr int kReadable = 4;  // access mode: read permission

const char kRestartQuestion[] =
    "W32/Vorlex.Trojan  found in memory! registry entries created by the worm are removed. You must restart "
    "the computer and run this program to continue scanning.\n\nRestart the computer now?";

bool ActionRemovesOrRenames() {
    return Session.RemovalAction == kActionDelete || Session.RemovalAction == kActionRename ||
           Session.RemovalAction == kActionDelete2;
}

// Checks one executable in memory mode. Only a file that is there to be read is checked, and
// only a check made now counts: a hit left over from an earlier process must not condemn this one.
bool IsInfected(const char* path) {
    if (_access(path, kReadable) != 0) return false;
    DirectoryWalker(path);
    return Session.MemoryHit;
}

// The second walk of the same path, in which the file checker removes the file.
void RemovalWalk(const char* path) {
    Session.MemoryRemovalRequest = Session.RemovalAction;
    DirectoryWalker(path);
    Session.MemoryRemovalRequest = 0;
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
        if (!IsInfected(node->path)) continue;
        found = 1;
        if (!ActionRemovesOrRenames()) continue;
        // Removed even when the process could not be ended: the file checker's own fallbacks
        // (ending by name, removal at restart) take over.
        EndProcess(node->processId, node->path);
        RemovalWalk(node->path);
    }
    return found;
}

}  // namespace

InfectedProcessSteps MemoryScanSteps() {
    InfectedProcessSteps steps;
    steps.context = nullptr;
    steps.endProcess = [](void*, uint32_t processId, const char* path) { return EndProcess(processId, path); };
    steps.ntGeneration = [](void*) { return static_cast<int32_t>(GetNtGeneration()); };
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
        if (EndInfectedProcess(steps, node->processId, node->path, &Session.MemoryRestartRequired)) stillRunning = 1;
    }
    return stillRunning;
}

void MemoryScan() {
    const OsGeneration generation = GetOsGeneration();
    Session.MemoryScanMode = true;
    if (generation == kOsNineX) ScanProcessesBySnapshot();
    if (generation == kOsNt && ScanProcessesByStatus()) {
        if (Session.MemoryRestartRequired == 1 &&
            AskUser(kRestartQuestion, kProductTitle, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK)
            RestartComputer();
        // The worm keeps running: scanning the drives now would only fight it.
        std::exit(0);
    }
    Session.MemoryScanMode = false;
}
