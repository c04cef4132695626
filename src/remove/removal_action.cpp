// What is done with an infected file: deleted, renamed or left, with its one result line.
#include "remove/removal_action.h"

#include "core/report.h"
#include "core/scan_session.h"
#include "processes/kill_by_wide_path.h"
#include "processes/kill_file_processes.h"
#include "remove/restart_removal.h"

const RemovalStyle kExecutableRemoval = {true, "Unable to remove", "not disinfected as per user's selection"};
const RemovalStyle kMailFileRemoval = {false, "Remove failed", "Not Disinfected As Per User's Selection"};

namespace {

RemovalOutcome Deleted(const NamedFile& file, const char* name) {
    ++Session.ScanCounters.filesRemoved;
    WriteReportLine("%s     %s removed", file.shown, name);
    return RemovalOutcome::kDeleted;
}

// Ends the processes that hold the file; true when it may be deleted now.
bool EndHolders(const NamedFile& file) {
    return file.wide ? KillFileProcessesWide(file.wide) != 0 : KillFileProcesses(file.shown) != 0;
}

RemovalOutcome Delete(const NamedFile& file, const char* name, const LastShown& lastShown, const RemovalStyle& style) {
    if (!style.forced) {
        if (DeleteNamedFile(file)) return Deleted(file, name);
        WriteReportLine("%s     %s %s", file.shown, name, style.notDeletedWord);
        return RemovalOutcome::kNotDeleted;
    }
    // Archive only: clears read-only, hidden and system, which would each refuse the deletion.
    if (!SetArchiveOnly(file)) {
        WriteReportLine("%s     %s %s", lastShown.object, lastShown.name, style.notDeletedWord);
        return RemovalOutcome::kNotDeleted;
    }
    if (DeleteNamedFile(file)) return Deleted(file, name);
    // In use: end whatever runs it and try once more before leaving it to the next restart.
    if (EndHolders(file) && DeleteNamedFile(file)) return Deleted(file, name);
    WriteReportLine("%s     %s %s", file.shown, name, style.notDeletedWord);
    LeaveFileForTheRestart(file);
    return RemovalOutcome::kNotDeleted;
}

RemovalOutcome Rename(const NamedFile& file, const char* name) {
    if (RenameNamedFile(file)) {
        WriteReportLine("%s     %s renamed", file.shown, name);
        return RemovalOutcome::kRenamed;
    }
    WriteReportLine("%s     %s Rename failed", file.shown, name);
    return RemovalOutcome::kNotRenamed;
}

}  // namespace

RemovalOutcome ApplyRemovalAction(int32_t action, const NamedFile& file, const char* name, const LastShown& lastShown,
                                  const RemovalStyle& style) {
    switch (action) {
    case kActionDelete:
    case kActionDelete2:
        return Delete(file, name, lastShown, style);
    case kActionRename:
        return Rename(file, name);
    case kActionLeave:
        WriteReportLine("%s     %s %s", lastShown.object, lastShown.name, style.leftWord);
        return RemovalOutcome::kLeft;
    default:
        return RemovalOutcome::kNothing;
    }
}
