// Removal of what restarts the worm: autorun values, the uninstall entry, an infected hosts file.
#include "clean/autorun_clean.h"

#include <windows.h>

#include "clean/autorun_walk.h"
#include "clean/registry_values.h"
#include "common/text.h"
#include "detect/detect_state.h"
#include "detect/mail_file_checker.h"
#include "memory/platform_probes.h"

namespace {

// The hosts file of this system, or false when the system keeps none we know of.
bool HostsFilePath(char* path, UINT capacity) {
    const char* tail;
    UINT length;
    switch (GetOsGeneration()) {
    case 5:
        length = GetSystemDirectoryA(path, capacity);
        tail = "\\drivers\\etc\\hosts";
        break;
    case 4:
        length = GetWindowsDirectoryA(path, capacity);
        tail = "\\hosts";
        break;
    default:
        return false;
    }
    return length != 0 && length < capacity && AppendText(path, capacity, tail);
}

}  // namespace

int32_t CleanAutorunAndHosts(const char* detectionName) {
    char hosts[MAX_PATH];
    if (HostsFilePath(hosts, sizeof hosts)) MailFileChecker("W32/Vorlex.Trojan ", hosts);

    if (WormValueName[0]) {
        const char* const keys[] = {kRunKey, kRunServicesKey, kWormUninstallKey};
        for (const char* key : keys)
            if (DeleteRegistryValue(HKEY_LOCAL_MACHINE, key, WormValueName)) ReportRegistryRemoval(detectionName);
    }

    if (CurrentFilePath[0]) {
        CleanAutorunValues(HKEY_LOCAL_MACHINE, kRunKey);
        CleanAutorunValues(HKEY_LOCAL_MACHINE, kRunServicesKey);
    }
    return 1;
}
