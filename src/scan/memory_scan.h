// The memory step of a scan and the ending of processes that run an infected file.
#pragma once
#include <cstdint>

#include "core/infected_process.h"
#include "platform/named_file.h"

// How the memory step ended.
struct MemoryScanResult {
    // On the NT line, a worm runs on that could be neither ended nor stopped as a service: the
    // drives are not walked (the scan would only fight it), and the program is to end.
    bool wormKeepsRunning;
    // A worm's service could not be stopped (its keys are gone): only a restart ends it.
    bool restartRequired;
};

// Checks every running process's executable, ends the infected ones and removes their files.
MemoryScanResult MemoryScan();

// The process scan of the 9x line (tool-help snapshot): ends every infected process and removes
// its file. Non-zero when an infected process was found.
int32_t ScanProcessesBySnapshot();
// The same with the tool-help entry points taken from the library at `libraryPath`.
int32_t ScanProcessesBySnapshotFrom(const char* libraryPath);
// The process scan of the NT line (process-status library). Non-zero only when an infected
// process could be neither ended nor stopped as a service, so that a restart is needed before
// the scan can go on (*restartRequired is then 1); a worm that was ended lets the scan go on.
int32_t ScanProcessesByStatus(int32_t* restartRequired);
// A running program whose executable matched a record: the file (its ANSI path, or on the NT line
// its true wide path with its shown form) and the record.
struct RunningWorm {
    NamedFile file;
    int record;
};

// The line of a worm that runs on although it had to be ended and, where the scan's options ask
// for it (a front end that asks nobody), its file left for the next restart.
void ReportWormThatRunsOn(const RunningWorm& worm);

// The real steps ScanProcessesByStatus takes with a running worm (ending it, the service
// fallback, the removal of its file).
InfectedProcessSteps MemoryScanSteps(const RunningWorm* worm);
