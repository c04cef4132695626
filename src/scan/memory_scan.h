// The memory step of a scan and the ending of processes that run an infected file.
#pragma once
#include <cstdint>

#include "core/infected_process.h"

// Checks every running process's executable; may end the program when the worm runs on the NT line.
void MemoryScan();

// The process scan of the 9x line (tool-help snapshot): ends every infected process and removes
// its file. Non-zero when an infected process was found.
int32_t ScanProcessesBySnapshot();
// The same with the tool-help entry points taken from the library at `libraryPath`.
int32_t ScanProcessesBySnapshotFrom(const char* libraryPath);
// The process scan of the NT line (process-status library). Non-zero only when an infected
// process could be neither ended nor stopped as a service, so that a restart is needed before
// the scan can go on; a worm that was ended lets the scan go on to the drives.
int32_t ScanProcessesByStatus();
// The real steps ScanProcessesByStatus takes with an infected process (ending it, the service
// fallback, the removal walk).
InfectedProcessSteps MemoryScanSteps();
