// What is done with an infected file: deleted, renamed or left, with its one result line.
#include "remove/removal_action.h"

#include <windows.h>

#include "core/renamed_path.h"
#include "core/report.h"
#include "core/scan_session.h"
#include "processes/kill_file_processes.h"
#include "remove/restart_removal.h"

const RemovalStyle kExecutableRemoval = {true, "Unable to remove", "not disinfected as per user's selection"};
const RemovalStyle kMailFileRemoval = {false, "Remove failed", "Not Disinfected As Per User's Selection"};

namespace {

RemovalOutcome Deleted(const char* path, const char* name) {
    ++Session.ScanCounters.filesRemoved;
    WriteReportLine("%s     %s removed", path, name);
    return RemovalOutcome::kDeleted;
}

RemovalOutcome Delete(const char* path, const char* name, const RemovalStyle& style) {
    if (!style.forced) {
        if (DeleteFileA(path)) return Deleted(path, name);
        WriteReportLine("%s     %s %s", path, name, style.notDeletedWord);
        return RemovalOutcome::kNotDeleted;
    }
    // Archive only: clears read-only, hidden and system, which would each refuse the deletion.
    if (!SetFileAttributesA(path, FILE_ATTRIBUTE_ARCHIVE)) {
        WriteReportLine("%s     %s %s", Session.StatusText, Session.LastDetectionName, style.notDeletedWord);
        return RemovalOutcome::kNotDeleted;
    }
    if (DeleteFileA(path)) return Deleted(path, name);
    // In use: end whatever runs it and try once more before leaving it to the next restart.
    if (KillFileProcesses(path) && DeleteFileA(path)) return Deleted(path, name);
    WriteReportLine("%s     %s %s", path, name, style.notDeletedWord);
    // Assigned, not accumulated: the prompt follows the latest scheduling's outcome.
    Session.RestartNeeded = ScheduleRemovalAtRestart(path);
    return RemovalOutcome::kNotDeleted;
}

RemovalOutcome Rename(const char* path, const char* name) {
    char target[kPathBufferSize + 1];
    if (FormRenamedPath(path, target, sizeof target) && MoveFileA(path, target)) {
        WriteReportLine("%s     %s renamed", path, name);
        return RemovalOutcome::kRenamed;
    }
    WriteReportLine("%s     %s Rename failed", path, name);
    return RemovalOutcome::kNotRenamed;
}

}  // namespace

RemovalOutcome ApplyRemovalAction(int32_t action, const char* path, const char* name, const RemovalStyle& style) {
    switch (action) {
    case kActionDelete:
    case kActionDelete2:
        return Delete(path, name, style);
    case kActionRename:
        return Rename(path, name);
    case kActionLeave:
        WriteReportLine("%s     %s %s", Session.StatusText, Session.LastDetectionName, style.leftWord);
        return RemovalOutcome::kLeft;
    default:
        return RemovalOutcome::kNothing;
    }
}
