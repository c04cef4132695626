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

// The table's names are terminated within their field; the copy makes sure of it.
struct RecordName {
    explicit RecordName(int record) {
        std::memcpy(text, SignatureTable[record].name, sizeof SignatureTable[record].name);
        text[sizeof SignatureTable[record].name] = '\0';
    }
    char text[sizeof SignatureRecord::name + 1];
};

// Until the first infected file, no value name from an earlier scan of this run may be trusted.
void ForgetValueNameWhileClean() {
    if (Session.ScanCounters.filesInfected == 0) std::memset(Session.WormValueName, 0, sizeof Session.WormValueName);
}

// Counts the match and cleans what would start the worm again. `cleaningPath` is the path the
// autorun values are judged by (null: none is exactly the file's).
void RecordMatch(const char* name, const char* shown, const char* cleaningPath) {
    ++Session.ScanCounters.filesInfected;
    CleanAutorunAndHosts(name, cleaningPath);
    // The status text names the file found until the walk shows its next entry.
    CopyText(Session.StatusText, sizeof Session.StatusText, shown);
}

// Applies the scan's removal action; a deletion takes the worm's uninstall entry with it.
void RemoveInfectedFile(const NamedFile& file, const char* name, const LastShown& lastShown) {
    if (ApplyRemovalAction(Session.RemovalAction, file, name, lastShown, kExecutableRemoval) == RemovalOutcome::kDeleted)
        CleanUninstallEntry();
}

}  // namespace

int32_t FileChecker(const char*, const char* path, int64_t listedSize) {
    ForgetValueNameWhileClean();
    const int record = MatchWormRecord(path, listedSize);
    if (record < 0) return 0;
    const RecordName name(record);
    RecordMatch(name.text, path, path);
    RemoveInfectedFile(NamedFile{path, nullptr}, name.text, LastShown{path, name.text});
    return 1;
}

int32_t FileCheckerWide(const wchar_t* widePath, const char* shown, int64_t listedSize) {
    ForgetValueNameWhileClean();
    const int record = MatchWormRecord(widePath, listedSize);
    if (record < 0) return 0;
    const RecordName name(record);
    // No autorun walk: the values are judged against a path in ANSI text, and this file has none
    // that is exactly its own.
    RecordMatch(name.text, shown, nullptr);
    RemoveInfectedFile(NamedFile{shown, widePath}, name.text, LastShown{shown, name.text});
    return 1;
}

int CheckRunningExecutable(const char* path) {
    ForgetValueNameWhileClean();
    const int record = MatchWormRecord(path, -1);
    if (record < 0) return record;
    // A scan that only looks names the running worm and leaves the counting to the walk, which
    // meets its file on a fixed drive: the counts then agree with those a cleaning scan shows.
    if (Session.DetectOnly) WriteReportLine(kMemoryFoundFormat, RecordName(record).text, path);
    else RecordMatch(RecordName(record).text, path, path);
    return record;
}

void RemoveEndedExecutable(const char* path, const char* statusShown, int record) {
    WriteReportLine("%s", kMemoryRemovalLine);
    // The ended process needs a moment to let go of its image file.
    Sleep(1000);
    const RecordName name(record);
    RemoveInfectedFile(NamedFile{path, nullptr}, kCheckerTableName, LastShown{statusShown, name.text});
}
