// The engine's one entry: memory, every fixed drive, statistics, final status, and the outcome.
#include "scan/scan_driver.h"

#include <windows.h>

#include "core/report.h"
#include "core/report_format.h"
#include "core/scan_session.h"
#include "core/text.h"
#include "platform/wow64.h"
#include "scan/directory_walker.h"
#include "scan/memory_scan.h"

namespace {

// Letters C to Z; A and B are floppy letters from the days the tool was made and never walked.
// The loop does not stop on a cancel: each later walk returns at its first pump.
void WalkFixedDrives() {
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        char root[4] = {letter, ':', '\\', '\0'};
        if (GetDriveTypeA(root) != DRIVE_FIXED) continue;
        char pattern[8] = {letter, ':', '\\', '*', '.', '*', '\0'};
        DirectoryWalker(pattern);
        // A "Program Files" no walk has entered under that exact name gets a walk of its own.
        if (Session.ProgramFilesPending == 1 && Session.ProgramFilesSeen == 0) {
            DirectoryWalker(Session.ProgramFilesPattern);
            Session.ProgramFilesPending = 0;
        }
    }
}

void WriteStatistics() {
    ScanCounterSet counters = Session.ScanCounters;
    char line[kReportLineSize];
    for (int i = 0; FormatStatisticsLine(i, counters, line, sizeof line); ++i) WriteReportLine("%s", line);
}

}  // namespace

void ApplyScanOptions(const ScanOptions& options, ScanHost& host) {
    Session.host = &host;
    Session.DetectOnly = options.detectOnly;
    Session.ScheduleRunningWorm = options.scheduleRunningWorm && !options.detectOnly;
    // A scan that only looks leaves every file where it is, whatever action was asked for.
    Session.RemovalAction = options.detectOnly ? static_cast<int32_t>(kActionLeave) : options.removalAction;
}

ScanOutcome ScanDriver(const ScanOptions& options, ScanHost& host) {
    ApplyScanOptions(options, host);
    // A 32-bit build on 64-bit Windows would otherwise meet SysWOW64 under the name System32 and
    // never the real System32.
    FileSystemRedirectionOff wholeFileSystem;
    const MemoryScanResult memory = MemoryScan();
    // The worm keeps running: scanning the drives now would only fight it.
    if (memory.wormKeepsRunning) return ScanOutcome{ScanEnd::kWormKeepsRunning, Session.RestartNeeded != 0, memory.restartRequired};
    WalkFixedDrives();
    // Set before the block so the result list no longer empties itself at 150 lines.
    Session.ScanFinished = true;
    WriteStatistics();
    ShowStatus(Session.ScanCancelled ? "Scanning terminated" : "Scanning completed");
    return ScanOutcome{Session.ScanCancelled ? ScanEnd::kTerminated : ScanEnd::kCompleted, Session.RestartNeeded != 0,
                       false};
}
