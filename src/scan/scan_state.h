// The process-wide state of one scan, shared by the window and the engine (UI thread only).
#pragma once
#include <cstdint>

// Counts of one program run: zero at start, never reset.
struct ScanCounterSet {
    int32_t filesScanned;   // walker: every non-directory entry outside the memory phase
    int32_t filesInfected;  // file checker and mail-file checker: every match
    int32_t filesRemoved;   // file checker and mail-file checker: every successful deletion
};
extern ScanCounterSet ScanCounters;

constexpr int kReportLineSize = 500;
constexpr int kStatusTextSize = 260;

extern char ReportLineBuffer[kReportLineSize];  // next result line; sent with UM_ADDLINE
extern char StatusText[kStatusTextSize];        // status label text; also the object text of lines
extern char ScanTarget[kStatusTextSize];        // "!:" = every local fixed drive (set by the Scan button)

extern bool ScanCancelled;  // the user confirmed "Terminate the Scan now?", or WM_QUIT/WM_DESTROY was pumped
extern bool ScanRunning;    // main window: between Scan and the end of the scan
extern bool ScanFinished;   // scan driver: set before the statistics block, never cleared
extern int32_t RestartNeeded;  // file checker: result of the latest scheduling of a removal at restart

// Removal actions applied to infected files.
enum : int32_t { kActionDelete = 100, kActionRename = 101, kActionDelete2 = 102, kActionLeave = 103 };
extern int32_t RemovalAction;  // set to 100 by the Scan button

// Hand-over between the memory scan, the walker and the file checker.
extern bool MemoryScanMode;           // true at start; the memory scan sets it for its phase, then clears it
extern bool MemoryHit;                // walker clears it per call; the file checker sets it on a match in memory mode
extern int32_t MemoryRemovalRequest;  // 0, or the action the memory scan asks for on the file of an ended process
