// The state one scan shares between its parts, under the names it has always had (UI thread only).
#pragma once
#include <cstdint>

#include "core/scan_host.h"

// Counts of one program run: zero at start, never reset.
struct ScanCounterSet {
    int32_t filesScanned;   // walker: every non-directory entry outside the memory phase
    int32_t filesInfected;  // file checker and mail-file checker: every match
    int32_t filesRemoved;   // file checker and mail-file checker: every successful deletion
};

constexpr int kReportLineSize = 500;
constexpr int kStatusTextSize = 260;
constexpr int kPathBufferSize = 260;

// Removal actions applied to infected files.
enum RemovalActionCode : int32_t { kActionDelete = 100, kActionRename = 101, kActionDelete2 = 102, kActionLeave = 103 };

struct ScanSession {
    ScanHost* host;  // the window the scan reports to; null while there is none (then nothing is shown)

    // The scan as a whole (scan driver and main window).
    ScanCounterSet ScanCounters;
    char ReportLineBuffer[kReportLineSize];  // the next result line
    char StatusText[kStatusTextSize];        // status label text; also the object text of result lines
    char ScanTarget[kStatusTextSize];        // "!:" = every local fixed drive (set by the Scan button)
    bool ScanCancelled;                      // the user confirmed "Terminate the Scan now?", or the window went
    bool ScanFinished;                       // set before the statistics block, never cleared
    int32_t RestartNeeded;                   // result of the latest scheduling of a removal at restart
    int32_t RemovalAction;                   // what is done with infected files; the Scan button sets 100

    // Hand-over between the memory scan, the walker and the file checker.
    bool MemoryScanMode;             // true at start; the memory scan sets it for its phase, then clears it
    bool MemoryHit;                  // walker clears it per call; the file checker sets it on a match in memory mode
    int32_t MemoryRemovalRequest;    // 0, or the action to apply to the file of a process just ended
    int32_t MemoryRestartRequired;   // a worm service could not be stopped; never cleared

    // The file under check and what the cleaning remembers.
    char LastDetectionName[kPathBufferSize];  // name of the record that matched last
    char CurrentFilePath[kPathBufferSize + 1];  // full path of the file under check; empty outside a check
    char WormValueName[128];                  // autorun value name remembered by the autorun walk
    int64_t KnownEntrySize;                   // the walker's listed size of the entry under check, or -1

    // The extra walk of a drive's "Program Files" folder.
    char ProgramFilesPattern[kPathBufferSize];  // X:\Program Files\*.* once a root walk found the folder
    int32_t ProgramFilesPending;                // 1 once a root walk found the folder; the driver resets it
    int32_t ProgramFilesSeen;                   // 1 once any walk descended into "\Program Files\"
};

// The one scan of this program run.
extern ScanSession Session;

// The session a program run starts with (tests start each case afresh from it).
ScanSession FreshScanSession();
