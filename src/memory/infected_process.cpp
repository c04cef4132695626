// What the memory scan does with an infected process on the NT line: end it, or stop its service.
#include "memory/infected_process.h"

#include <cstring>

#include "common/text.h"

void ServiceNameFromPath(const char* path, char* name, size_t nameSize) {
    const char* slash = std::strrchr(path, '\\');
    CopyText(name, nameSize, slash ? slash + 1 : path);
    char* dot = std::strrchr(name, '.');
    if (dot) *dot = '\0';
}

bool EndInfectedProcess(const InfectedProcessSteps& steps, uint32_t processId, const char* path,
                        int32_t* restartRequired) {
    bool firstEnded = steps.endProcess(steps.context, processId, path);
    if (steps.endProcess(steps.context, processId, path)) {
        steps.removalWalk(steps.context, path);
        return false;
    }
    int32_t generation = steps.ntGeneration(steps.context);
    char service[260];
    ServiceNameFromPath(path, service, sizeof service);
    // Only the worm's own service is stopped: a copy of the worm named like a system program
    // (spooler.exe in a temporary folder) must not take that program's service with it.
    if ((generation == 5 || generation == 6) && steps.serviceRunsFile(steps.context, service, path)) {
        if (steps.stopService(steps.context, service)) {
            steps.deleteServiceKeys(steps.context, service, path);
            steps.removalWalk(steps.context, path);
            return false;
        }
        // Keys go even when the stop failed, so the service does not come back after the restart.
        steps.deleteServiceKeys(steps.context, service, path);
        *restartRequired = 1;
        if (firstEnded) {
            steps.removalWalk(steps.context, path);
            return false;
        }
        return true;
    }
    // No service of the worm's to fall back on; the drive walk meets the file again.
    if (firstEnded) steps.removalWalk(steps.context, path);
    return false;
}
