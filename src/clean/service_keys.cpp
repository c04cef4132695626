// Deleting a service's registry keys from both stored control sets.
#include "clean/service_keys.h"

#include <windows.h>

#include <cstring>

#include "common/text.h"

namespace {

struct KeyStep {
    const char* prefix;
    const char* suffix;
};

// Subkeys before the key itself, as a key with subkeys cannot be deleted. Key names are compared
// without regard to case, so the capitals of the fourth prefix address the same keys.
const KeyStep kSteps[] = {
    {"SYSTEM\\ControlSet001\\Services\\", "\\Enum"},
    {"SYSTEM\\ControlSet001\\Services\\", "\\Security"},
    {"SYSTEM\\ControlSet001\\Services\\", ""},
    {"SYSTEM\\CONTROLSET002\\SERVICES\\", "\\Enum"},
    {"SYSTEM\\ControlSet002\\Services\\", "\\Security"},
    {"SYSTEM\\ControlSet002\\Services\\", ""},
};

constexpr size_t kKeyPathSize = 512;

}  // namespace

int32_t DeleteServiceKeys(const char* name) {
    // An empty name would make the third step address the Services key itself.
    if (!name || !*name || std::strchr(name, '\\')) return 0;
    int32_t deleted = 0;
    for (const KeyStep& step : kSteps) {
        char path[kKeyPathSize];
        if (!CopyText(path, sizeof path, step.prefix) || !AppendText(path, sizeof path, name) ||
            !AppendText(path, sizeof path, step.suffix))
            continue;
        if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, path) == ERROR_SUCCESS) deleted = 1;
    }
    return deleted;
}
