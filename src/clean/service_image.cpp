// Whether a service is registered to run a given file: its ImagePath read, expanded and resolved.
#include "clean/service_image.h"

#include <windows.h>

#include <cstring>

#include "core/service_command.h"
#include "core/text.h"
#include "core/worm_facts.h"
#include "platform/registry_values.h"
#include "platform/same_file.h"

namespace {

constexpr unsigned kKeyPathSize = 512;

}  // namespace

bool FormServiceKey(const char* servicesKey, const char* name, const char* suffix, char* out, unsigned capacity) {
    // An empty name would address the Services key itself, one with a backslash another key.
    if (!name || !*name || std::strchr(name, '\\')) return false;
    return CopyText(out, capacity, servicesKey) && AppendText(out, capacity, name) && AppendText(out, capacity, suffix);
}

bool ServiceKeyRunsFile(const char* serviceKey, const NamedFile& file) {
    RegistryText image;
    if (!ReadRegistryString(HKEY_LOCAL_MACHINE, serviceKey, "ImagePath", &image)) return false;
    RegistryText expanded;
    if (!ExpandEnvironmentText(image.text(), &expanded)) return false;
    char windows[MAX_PATH], system[MAX_PATH];
    const UINT windowsLength = GetWindowsDirectoryA(windows, sizeof windows);
    const UINT systemLength = GetSystemDirectoryA(system, sizeof system);
    if (windowsLength == 0 || windowsLength >= sizeof windows || systemLength == 0 || systemLength >= sizeof system)
        return false;
    char command[1024];
    if (!ResolveServiceCommand(expanded.text(), windows, command, sizeof command)) return false;
    char program[MAX_PATH], located[MAX_PATH];
    for (int i = 0; ServiceProgramCandidate(command, i, program, sizeof program); ++i)
        for (int at = 0; ServiceProgramLocation(program, system, windows, at, located, sizeof located); ++at)
            if (NamesFile(located, file)) return true;
    return false;
}

bool ServiceRunsFile(const char* name, const NamedFile& file) {
    char key[kKeyPathSize];
    return FormServiceKey(kCurrentServicesKey, name, "", key, sizeof key) &&
           ServiceKeyRunsFile(key, file);
}
