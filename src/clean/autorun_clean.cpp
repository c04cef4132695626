// Removal of what restarts the worm: autorun values, the uninstall entry, an infected hosts file.
#include "clean/autorun_clean.h"

#include <windows.h>

#include "clean/autorun_walk.h"
#include "clean/mail_file_checker.h"
#include "core/scan_session.h"
#include "core/text.h"
#include "platform/os_line.h"
#include "platform/registry_values.h"
#include "platform/wow64.h"

namespace {

// The hosts file of this system, or false when the system keeps none we know of.
bool HostsFilePath(char* path, UINT capacity) {
    const char* tail;
    UINT length;
    switch (GetOsGeneration()) {
    case kOsNt:
        length = GetSystemDirectoryA(path, capacity);
        tail = "\\drivers\\etc\\hosts";
        break;
    case kOsNineX:
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

    // A 64-bit Windows keeps these keys twice, and a 32-bit worm writes the 32-bit view: both are
    // cleaned, whichever build runs.
    REGSAM views[2];
    const int viewCount = RegistryViews(views);
    if (Session.WormValueName[0]) {
        const char* const keys[] = {kRunKey, kRunServicesKey, kWormUninstallKey};
        for (int v = 0; v < viewCount; ++v)
            for (const char* key : keys)
                if (DeleteRegistryValue(HKEY_LOCAL_MACHINE, key, Session.WormValueName, views[v]))
                    ReportRegistryRemoval(detectionName);
    }

    if (Session.CurrentFilePath[0]) {
        for (int v = 0; v < viewCount; ++v) {
            CleanAutorunValues(HKEY_LOCAL_MACHINE, kRunKey, views[v]);
            CleanAutorunValues(HKEY_LOCAL_MACHINE, kRunServicesKey, views[v]);
        }
    }
    return 1;
}
