// The memory step of a scan: every running process's executable is checked, infected ones ended.
#include "scan/memory_scan.h"

#include <windows.h>

#include <io.h>

#include <cwchar>

#include "clean/service_image.h"
#include "clean/service_keys.h"
#include "core/path_text.h"
#include "core/process_list.h"
#include "core/report.h"
#include "core/scan_session.h"
#include "core/signature_table.h"
#include "core/text.h"
#include "core/text_buffer.h"
#include "core/wide_process_list.h"
#include "disinfect/file_checker.h"
#include "platform/handles.h"
#include "platform/os_line.h"
#include "platform/path_forms.h"
#include "platform/privilege.h"
#include "platform/system_library.h"
#include "platform/wide_files.h"
#include "processes/process_end.h"
#include "processes/process_status_list.h"
#include "processes/service_stop.h"
#include "processes/toolhelp_snapshot.h"
#include "remove/removal_action.h"
#include "remove/restart_removal.h"

namespace {

constexpr int kReadable = 4;  // access mode: read permission

bool ActionRemovesOrRenames() {
    return Session.RemovalAction == kActionDelete || Session.RemovalAction == kActionRename ||
           Session.RemovalAction == kActionDelete2;
}

// A program run from a local fixed drive: one on a network, removable or CD-ROM drive is not
// this scan's to touch, whatever it runs.
template <typename Char>
bool OnFixedDrive(const Char* path) {
    if (!path[0] || path[0] > 0x7F || path[1] != ':' || path[2] != '\\') return false;
    const char root[4] = {static_cast<char>(path[0]), ':', '\\', '\0'};
    return GetDriveTypeA(root) == DRIVE_FIXED;
}

// Finds the file itself (not a folder of that name): the first step the walk takes with an entry.
bool IsFileThere(const NamedFile& file) {
    if (!file.wide) {
        WIN32_FIND_DATAA entry;
        OwnedSearch search(FindFirstFileA(file.shown, &entry));
        return search && !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    const WideFileFunctions* wide = NtWideFileFunctions();
    const PrefixedPath prefixed(file.wide);
    WIN32_FIND_DATAW entry;
    if (!wide || !prefixed) return false;
    OwnedSearch search(wide->findFirst(prefixed.get(), &entry));
    return search && !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Offers a running program's executable the way the walk offers a file: a pump and cancel check
// before and after, its path in the status label, nothing counted as scanned. `act` runs only for
// a file that is there, not for a folder of that name.
template <typename Act>
void OfferExecutable(const NamedFile& file, Act act) {
    if (!IsFileThere(file)) return;
    if (PumpAndCheckCancel()) return;
    ShowPathStatus(file.shown);
    act();
    PumpAndCheckCancel();
}

// The record a running program's executable matches, or -1. Only a file that is there to be
// read is checked.
int InfectedRecord(const NamedFile& file) {
    int record = -1;
    if (file.wide || _access(file.shown, kReadable) == 0) OfferExecutable(file, [&] { record = CheckRunningExecutable(file); });
    return record;
}

// Offered once more, the file of an ended process is removed.
void RemoveFile(const RunningWorm& worm) {
    OfferExecutable(worm.file, [&] {
        char shown[kStatusTextSize];
        CopyText(shown, sizeof shown, Session.StatusText);
        RemoveEndedExecutable(worm.file, shown, worm.record);
    });
}

bool EndProcess(uint32_t processId, const NamedFile& file) {
    return EndProcessRunning(processId, file) == EndOutcome::kEnded;
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
        if (!OnFixedDrive(node->path)) continue;
        const NamedFile file{node->path, nullptr};
        const RunningWorm worm{file, InfectedRecord(file)};
        if (worm.record < 0) continue;
        found = 1;
        if (!ActionRemovesOrRenames()) continue;
        // Removed even when the process could not be ended: the file checker's own fallbacks
        // (ending its processes, removal at restart) take over.
        EndProcess(node->processId, worm.file);
        RemoveFile(worm);
    }
    return found;
}

// One running program of the NT line, named by its true path: checked, and ended when it is the
// worm. True when it runs on although it had to be ended (the line says so).
bool HandleNtProcess(uint32_t processId, const wchar_t* path, int32_t* restartRequired) {
    char ansi[kMaxPathChars + 1];
    const FileRoute route = RouteTo(path, ansi, sizeof ansi);
    TextBuffer<char> readable(route == FileRoute::kWide ? std::wcslen(path) * 3 + 8 : 1);
    if (!readable) return false;
    if (route == FileRoute::kWide) ReadableAnsi(path, readable.data(), readable.size());
    const char* shown = route == FileRoute::kWide ? readable.data() : ansi;
    RunningWorm worm{route == FileRoute::kExactAnsi ? NamedFile{ansi, nullptr} : NamedFile{shown, path}, -1};
    worm.record = InfectedRecord(worm.file);
    if (worm.record < 0 || !ActionRemovesOrRenames()) return false;
    if (!EndInfectedProcess(MemoryScanSteps(&worm), processId, worm.file.shown, restartRequired)) return false;
    ReportWormThatRunsOn(worm);
    return true;
}

}  // namespace

void ReportWormThatRunsOn(const RunningWorm& worm) {
    WriteReportLine("%s     %s %s", worm.file.shown, RecordName(worm.record).text, kExecutableRemoval.notDeletedWord);
    // A front end that asks nobody whether to restart has the file go at the next restart.
    if (Session.ScheduleRunningWorm) LeaveFileForTheRestart(worm.file);
}

InfectedProcessSteps MemoryScanSteps(const RunningWorm* worm) {
    // The decision passes the worm's shown path along; the steps act on the file itself.
    InfectedProcessSteps steps;
    steps.context = const_cast<RunningWorm*>(worm);
    steps.endProcess = [](void* context, uint32_t processId, const char*) {
        return EndProcess(processId, static_cast<const RunningWorm*>(context)->file);
    };
    steps.ntGeneration = [](void*) { return static_cast<int32_t>(GetNtGeneration()); };
    steps.serviceRunsFile = [](void* context, const char* name, const char*) {
        return ServiceRunsFile(name, static_cast<const RunningWorm*>(context)->file);
    };
    steps.stopService = [](void*, const char* name) { return StopService(name); };
    steps.deleteServiceKeys = [](void* context, const char* name, const char*) {
        return DeleteServiceKeys(name, static_cast<const RunningWorm*>(context)->file);
    };
    steps.removalWalk = [](void* context, const char*) { RemoveFile(*static_cast<const RunningWorm*>(context)); };
    return steps;
}

int32_t ScanProcessesBySnapshotFrom(const char* libraryPath) { return ScanBySnapshotWith(LoadLibraryA(libraryPath)); }

int32_t ScanProcessesBySnapshot() { return ScanBySnapshotWith(LoadSystemLibrary("kernel32.dll")); }

int32_t ScanProcessesByStatus(int32_t* restartRequired) {
    WideProcessList list;
    if (ListProcessesWide(&list, OnDebugOpenRefused) != StatusListOutcome::kListed) return 0;
    int32_t stillRunning = 0;
    for (const WideProcessNode* node = list.first(); node; node = node->next) {
        if (!OnFixedDrive(node->path)) continue;
        if (HandleNtProcess(node->processId, node->path, restartRequired)) stillRunning = 1;
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
