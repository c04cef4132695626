// What the memory scan does with an infected process on the NT line: end it, or stop its service.
#include "core/infected_process.h"

#include <cstring>

#include "core/os_generations.h"
#include "core/path_text.h"
#include "core/text.h"

void ServiceNameFromPath(const char* path, char* name, size_t nameSize) {
    CopyText(name, nameSize, FileNamePart(path));
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
    if ((generation == kNt4OrEarlier || generation == kNt5) && steps.serviceRunsFile(steps.context, service, path)) {
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
