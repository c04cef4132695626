// What is done about an infected executable: counted, what restarts it cleaned away, then removed.
#include "disinfect/file_checker.h"

#include <windows.h>

#include <cstring>

#include "clean/uninstall_entry.h"
#include "core/report.h"
#include "core/scan_session.h"
#include "core/signature_table.h"
#include "core/text.h"
#include "core/worm_facts.h"
#include "detect/worm_verdict.h"
#include "disinfect/autorun_and_hosts.h"
#include "remove/removal_action.h"

namespace {

// Until the first infected file, no value name from an earlier scan of this run may be trusted.
void ForgetValueNameWhileClean() {
    if (Session.ScanCounters.filesInfected == 0) std::memset(Session.WormValueName, 0, sizeof Session.WormValueName);
}

// Counts the match and cleans what would start the worm again; the autorun values are judged by
// the file's exact ANSI path, or else by its true wide path.
void RecordMatch(const char* name, const NamedFile& file) {
    ++Session.ScanCounters.filesInfected;
    CleanAutorunAndHosts(name, file.wide ? nullptr : file.shown, file.wide);
    // The status text names the file found until the walk shows its next entry.
    CopyText(Session.StatusText, sizeof Session.StatusText, file.shown);
}

// Applies the scan's removal action; a deletion takes the worm's uninstall entry with it.
void RemoveInfectedFile(const NamedFile& file, const char* name, const LastShown& lastShown) {
    if (ApplyRemovalAction(Session.RemovalAction, file, name, lastShown, kExecutableRemoval) == RemovalOutcome::kDeleted)
        CleanUninstallEntry();
}

// Acts on a file the verdict found to be record `record` (none for -1): 1 when it was infected.
int32_t ActOnVerdict(int record, const NamedFile& file) {
    if (record < 0) return 0;
    const RecordName name(record);
    RecordMatch(name.text, file);
    RemoveInfectedFile(file, name.text, LastShown{file.shown, name.text});
    return 1;
}

}  // namespace

int32_t FileChecker(const char*, const char* path, int64_t listedSize) {
    ForgetValueNameWhileClean();
    return ActOnVerdict(MatchWormRecord(path, listedSize), NamedFile{path, nullptr});
}

int32_t FileCheckerWide(const wchar_t* widePath, const char* shown, int64_t listedSize) {
    ForgetValueNameWhileClean();
    return ActOnVerdict(MatchWormRecord(widePath, listedSize), NamedFile{shown, widePath});
}

int CheckRunningExecutable(const NamedFile& file) {
    ForgetValueNameWhileClean();
    const int record = file.wide ? MatchWormRecord(file.wide, -1) : MatchWormRecord(file.shown, -1);
    if (record < 0) return record;
    // A scan that only looks names the running worm and leaves the counting to the walk, which
    // meets its file on a fixed drive: the counts then agree with those a cleaning scan shows.
    if (Session.DetectOnly) WriteReportLine(kMemoryFoundFormat, RecordName(record).text, file.shown);
    else RecordMatch(RecordName(record).text, file);
    return record;
}

void RemoveEndedExecutable(const NamedFile& file, const char* statusShown, int record) {
    WriteReportLine("%s", kMemoryRemovalLine);
    // The ended process needs a moment to let go of its image file.
    Sleep(1000);
    const RecordName name(record);
    RemoveInfectedFile(file, kCheckerTableName, LastShown{statusShown, name.text});
}
