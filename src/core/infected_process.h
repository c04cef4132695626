// What the memory scan does with an infected process on the NT line: end it, or stop its service.
#pragma once
#include <cstddef>
#include <cstdint>

// The steps the decision needs, so that it can be followed without real processes and services.
struct InfectedProcessSteps {
    void* context;
    // Opens the process for termination and ends it with exit code 0, unless it no longer runs path.
    bool (*endProcess)(void* context, uint32_t processId, const char* path);
    int32_t (*ntGeneration)(void* context);  // an NtGeneration
    // True when the service `name` is registered to run the file at `path` itself.
    bool (*serviceRunsFile)(void* context, const char* name, const char* path);
    int32_t (*stopService)(void* context, const char* name);
    // Deletes the service's keys from each stored control set that registers it to run `path`.
    int32_t (*deleteServiceKeys)(void* context, const char* name, const char* path);
    void (*removalWalk)(void* context, const char* path);  // second walk that removes the file
};

// The service a worm runs as is named after its executable: no folder, nothing from the last '.'.
void ServiceNameFromPath(const char* path, char* name, size_t nameSize);

// Handles one running process whose executable matched. Two attempts to end it; on NT 4 and
// NT 5.x a failed second attempt stops the service of the same name, when that service is
// registered to run the infected file itself, and deletes its keys, and sets *restartRequired
// when that stop fails. A service of that name that runs another program is left alone. The file
// is removed whenever the process was seen ending. Returns true only when the process is still
// running and *restartRequired was set for it: the case in which the user is asked to restart and
// the program ends.
bool EndInfectedProcess(const InfectedProcessSteps& steps, uint32_t processId, const char* path,
                        int32_t* restartRequired);
