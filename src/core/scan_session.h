// The state one scan shares between its parts, under the names it has always had (UI thread only).
#pragma once
#include <cstdint>

#include "core/scan_host.h"

// Counts of one program run: zero at start, never reset.
struct ScanCounterSet {
    int32_t filesScanned;   // walker: every non-directory entry of a drive walk
    int32_t filesInfected;  // file checker and mail-file checker: every match
    int32_t filesRemoved;   // file checker and mail-file checker: every successful deletion
};

constexpr int kReportLineSize = 500;
constexpr int kStatusTextSize = 260;
constexpr int kPathBufferSize = 260;
constexpr int kWormValueNameSize = 128;

// Removal actions applied to infected files.
enum RemovalActionCode : int32_t { kActionDelete = 100, kActionRename = 101, kActionDelete2 = 102, kActionLeave = 103 };

struct ScanSession {
    ScanHost* host;  // what the scan reports to; null outside a scan (then nothing is shown)

    // The scan as a whole: what the host shows, the counts, and how the scan stands.
    ScanCounterSet ScanCounters;
    char ReportLineBuffer[kReportLineSize];  // the next result line
    char StatusText[kStatusTextSize];        // status label text; also the object text of result lines
    bool ScanCancelled;                      // the user confirmed "Terminate the Scan now?", or the window went
    bool ScanFinished;                       // set before the statistics block, never cleared
    int32_t RestartNeeded;                   // 1 once any removal waits for the next restart
    int32_t RemovalAction;                   // what is done with infected files, for the whole scan
    // Set for a scan that only looks: nothing is ended, deleted, scheduled or cleaned, and every
    // infected file is left with the "leave" action's line (the console's /detect).
    bool DetectOnly;
    bool HostsFileJudged;        // with DetectOnly: the hosts file, never removed, is judged once only
    int32_t RemovalsScheduled;   // removals at the next restart that were scheduled in this run
    // Set for a front end that asks no question: the file of a worm the memory step could neither
    // end nor stop as a service is scheduled for removal at the next restart.
    bool ScheduleRunningWorm;

    // What the autorun cleaning remembers from one infected file to the next: the name of the last
    // value it deleted, deleted again wherever it turns up.
    char WormValueName[kWormValueNameSize];

    // The extra walk of a drive's "Program Files" folder.
    char ProgramFilesPattern[kPathBufferSize];  // X:\Program Files\*.* once a root walk found the folder
    int32_t ProgramFilesPending;                // 1 once a root walk found the folder; the driver resets it
    int32_t ProgramFilesSeen;                   // 1 once any walk descended into "\Program Files\"
};

// The one scan of this program run.
extern ScanSession Session;
