// Ending the processes that hold an infected file, so that the file checker can delete it.
#include <windows.h>

#include "memory/memory_scan.h"
#include "memory/platform_probes.h"
#include "memory/process_backends.h"
#include "platform/wow64.h"

int32_t KillFileProcesses(const char* path) {
    int32_t ended = 0;
    switch (GetOsGeneration()) {
    case 4:
        ended = KillBySnapshot(path);
        break;
    case 5:
        // The process-status back-end answers for itself and never complains.
        if (GetNtGeneration() == 6) return KillByProcessStatus(path) ? 1 : 0;
        ended = KillByPerformanceData(path);
        break;
    default:
        return 1;
    }
    if (ended) return 1;
    FileSystemRedirectionPause windowCode;
    MessageBoxA(nullptr, "Could not kill process", path, MB_OK);
    return 0;
}
