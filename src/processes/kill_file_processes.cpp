// Ending the processes that hold an infected file, so that the file checker can delete it.
#include "processes/kill_file_processes.h"

#include "core/report.h"
#include "platform/os_line.h"
#include "processes/process_backends.h"

int32_t KillFileProcesses(const char* path) {
    int32_t ended = 0;
    switch (GetOsGeneration()) {
    case kOsNineX:
        ended = KillBySnapshot(path);
        break;
    case kOsNt:
        // The process-status back-end answers for itself and never complains.
        if (GetNtGeneration() == kNt5) return KillByProcessStatus(path) ? 1 : 0;
        ended = KillByPerformanceData(path);
        break;
    default:
        return 1;
    }
    if (ended) return 1;
    NotifyUser("Could not kill process", path);
    return 0;
}
