// Deleting a service's registry keys from both stored control sets.
#include "clean/service_keys.h"

#include <windows.h>

#include "clean/service_image.h"
#include "core/worm_facts.h"

namespace {

struct KeyStep {
    const char* prefix;
    const char* suffix;
};

// One stored control set: where its service keys are, and its three deletions, subkeys before
// the key itself, as a key with subkeys cannot be deleted. Key names are compared without regard
// to case, so the capitals of the second set's first prefix address the same keys.
struct ControlSet {
    const char* services;
    KeyStep steps[3];
};

const ControlSet kControlSets[] = {
    {kControlSet1ServicesKey,
     {{kControlSet1ServicesKey, "\\Enum"}, {kControlSet1ServicesKey, "\\Security"}, {kControlSet1ServicesKey, ""}}},
    {kControlSet2ServicesKey,
     {{kControlSet2ServicesKeyCapitals, "\\Enum"}, {kControlSet2ServicesKey, "\\Security"}, {kControlSet2ServicesKey, ""}}},
};

constexpr unsigned kKeyPathSize = 512;

}  // namespace

int32_t DeleteServiceKeys(const char* name, const NamedFile& infected) {
    int32_t deleted = 0;
    for (const ControlSet& set : kControlSets) {
        char serviceKey[kKeyPathSize];
        if (!FormServiceKey(set.services, name, "", serviceKey, sizeof serviceKey)) continue;
        if (!ServiceKeyRunsFile(serviceKey, infected)) continue;
        for (const KeyStep& step : set.steps) {
            char path[kKeyPathSize];
            if (!FormServiceKey(step.prefix, name, step.suffix, path, sizeof path)) continue;
            if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, path) == ERROR_SUCCESS) deleted = 1;
        }
    }
    return deleted;
}
