// The walk over one autorun key that deletes the values starting the infected file.
#include "clean/autorun_walk.h"

#include <cstring>

#include "clean/autorun_rules.h"
#include "clean/registry_values.h"
#include "common/text.h"
#include "detect/detect_state.h"
#include "scan/report.h"

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunServicesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const char kWormUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\rhcjg7j0e38v";

namespace {

constexpr REGSAM kReadAccess = 0x20019;
constexpr DWORD kExpandedRoom = 261;

void LowerInPlace(char* text) { CharLowerBuffA(text, static_cast<DWORD>(std::strlen(text))); }

// A name that does not fit is not remembered: a cut name could be another value's.
void RememberValueName(const char* name) {
    if (std::strlen(name) < sizeof WormValueName) CopyText(WormValueName, sizeof WormValueName, name);
}

// Expands environment references of `data` into `out`, sized to the result.
bool ExpandData(const char* data, RegistryText* out) {
    DWORD needed = kExpandedRoom;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!out->Allocate(needed)) return false;
        DWORD got = ExpandEnvironmentStringsA(data, out->data(), needed);
        if (got == 0) return false;
        if (got <= needed) return true;
        needed = got;
    }
    return false;
}

}  // namespace

void ReportRegistryRemoval(const char* detectionName) {
    if (MainWindowHandle) WriteReportLine("System Registry     %s removed", detectionName);
}

void CleanAutorunValues(HKEY root, const char* subkey, REGSAM view) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey, 0, kReadAccess | view, &key) != ERROR_SUCCESS) return;
    DWORD valueCount = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return;
    }
    static char name[16384];
    DWORD deleted = 0;
    for (DWORD i = 0; i < valueCount; ++i) {
        // Deleting a value moves the ones after it down by one index.
        DWORD nameLength = sizeof name;
        if (RegEnumValueA(key, i - deleted, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        if (!CanJudgeAutorunValues(CurrentFilePath)) break;
        RegistryText data;
        if (!ReadRegistryString(root, subkey, name, &data, view)) continue;
        LowerInPlace(data.data());
        LowerInPlace(CurrentFilePath);
        RegistryText expanded;
        if (!ExpandData(data.text(), &expanded)) continue;
        LowerInPlace(expanded.data());

        switch (JudgeAutorunValue(data.text(), expanded.text(), CurrentFilePath)) {
        case AutorunVerdict::DeleteRuleA:
            if (DeleteRegistryValue(root, subkey, name, view)) {
                RememberValueName(name);
                ReportRegistryRemoval("W32/Vorlex.Trojan");
                ++deleted;
            }
            break;
        case AutorunVerdict::DeleteRuleB:
            RememberValueName(name);
            if (DeleteRegistryValue(root, subkey, name, view)) {
                ReportRegistryRemoval("W32/Vorlex.Trojan");
                ++deleted;
            }
            break;
        case AutorunVerdict::Keep:
            break;
        }
    }
    RegCloseKey(key);
}
