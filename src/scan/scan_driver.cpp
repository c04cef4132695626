// The fixed sequence of one scan: memory, every fixed drive, statistics, final status, restart.
#include "scan/scan_driver.h"

#include <windows.h>

#include "memory/memory_scan.h"
#include "memory/platform_probes.h"
#include "scan/directory_walker.h"
#include "scan/report.h"
#include "scan/report_format.h"
#include "platform/wow64.h"
#include "scan/scan_state.h"
#include "ui/message_dialog.h"

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
        if (ProgramFilesPending == 1 && ProgramFilesSeen == 0) {
            DirectoryWalker(ProgramFilesPattern);
            ProgramFilesPending = 0;
        }
    }
}

void WriteStatistics() {
    ScanCounterSet counters = ScanCounters;
    char line[kReportLineSize];
    for (int i = 0; FormatStatisticsLine(i, counters, line, sizeof line); ++i) WriteReportLine("%s", line);
}

}  // namespace

int32_t ScanDriver() {
    // A 32-bit build on 64-bit Windows would otherwise meet SysWOW64 under the name System32 and
    // never the real System32.
    FileSystemRedirectionOff wholeFileSystem;
    MemoryScan();
    WalkFixedDrives();
    // Set before the block so the result list no longer empties itself at 150 lines.
    ScanFinished = true;
    WriteStatistics();
    ShowStatus(ScanCancelled ? "Scanning terminated" : "Scanning completed");
    if (RestartNeeded != 0 &&
        ShowMessageDialog("The system has to be restarted to remove the virus completely from your system. \n\n Restart now?",
                          "Purgix Ver 1.0", MB_YESNO | MB_ICONQUESTION) == IDYES)
        RestartComputer();
    return 1;
}

void RestartComputer() {
    // The 9x line has no privileges to ask for.
    if (GetOsGeneration() != 4 && EnablePrivilege("SeShutdownPrivilege") != 0) return;
    ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0);
}
