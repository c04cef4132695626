// Removal of what restarts the worm: autorun values, the uninstall entry, an infected hosts file.
#include "disinfect/autorun_and_hosts.h"

#include <windows.h>

#include "clean/autorun_walk.h"
#include "core/scan_session.h"
#include "core/text.h"
#include "core/worm_facts.h"
#include "disinfect/mail_file_checker.h"
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
        tail = kNtHostsTail;
        break;
    case kOsNineX:
        length = GetWindowsDirectoryA(path, capacity);
        tail = kNineXHostsTail;
        break;
    default:
        return false;
    }
    return length != 0 && length < capacity && AppendText(path, capacity, tail);
}

}  // namespace

int32_t CleanAutorunAndHosts(const char* detectionName, const char* infectedPath, const wchar_t* infectedWidePath) {
    // A scan that only looks judges the hosts file at its first finding, as a cleaning scan does,
    // but never again (it stays, and would be counted at every finding) and touches no value.
    if (Session.DetectOnly && Session.HostsFileJudged) return 1;
    Session.HostsFileJudged = true;
    char hosts[MAX_PATH];
    if (HostsFilePath(hosts, sizeof hosts)) MailFileChecker(kCheckerTableName, hosts);
    if (Session.DetectOnly) return 1;

    // A 64-bit Windows keeps these keys twice, and a 32-bit worm writes the 32-bit view: both are
    // cleaned, whichever build runs.
    REGSAM views[2];
    const int viewCount = RegistryViews(views);
    if (Session.WormValueName[0]) {
        const char* const keys[] = {kRunKey, kRunServicesKey, kRememberedUninstallKey};
        for (int v = 0; v < viewCount; ++v)
            for (const char* key : keys)
                if (DeleteRegistryValue(HKEY_LOCAL_MACHINE, key, Session.WormValueName, views[v]))
                    ReportRegistryRemoval(detectionName);
    }

    if ((!infectedPath || !infectedPath[0]) && infectedWidePath && infectedWidePath[0]) {
        for (int v = 0; v < viewCount; ++v) {
            CleanAutorunValuesWide(HKEY_LOCAL_MACHINE, kRunKey, views[v], infectedWidePath);
            CleanAutorunValuesWide(HKEY_LOCAL_MACHINE, kRunServicesKey, views[v], infectedWidePath);
        }
    }
    if (infectedPath && infectedPath[0]) {
        // The walk lower-cases the path it judges by; the caller's path stays as it was. A path
        // cut to fit would be another file's.
        char judged[kPathBufferSize + 1];
        if (!CopyText(judged, sizeof judged, infectedPath)) return 1;
        for (int v = 0; v < viewCount; ++v) {
            CleanAutorunValues(HKEY_LOCAL_MACHINE, kRunKey, views[v], judged);
            CleanAutorunValues(HKEY_LOCAL_MACHINE, kRunServicesKey, views[v], judged);
        }
    }
    return 1;
}
