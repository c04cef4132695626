// The memory step of a scan and the ending of processes that run an infected file.
#include "memory/memory_scan.h"

#include "scan/scan_state.h"

int32_t MemoryRestartRequired = 0;

// Stand-in until the process scans land: no process is looked at.
void MemoryScan() {
    MemoryScanMode = true;
    MemoryScanMode = false;
}

// Stand-in until the process back-ends land: ends nothing, so the file is scheduled instead.
int32_t KillFileProcesses(const char*) { return 0; }
