// The walk over one autorun key that deletes the values starting the infected file.
#include "clean/autorun_walk.h"

#include <cstring>

#include "core/autorun_rules.h"
#include "core/report.h"
#include "core/scan_session.h"
#include "core/text.h"
#include "core/worm_facts.h"
#include "platform/handles.h"
#include "platform/registry_values.h"

namespace {

void LowerInPlace(char* text) { CharLowerBuffA(text, static_cast<DWORD>(std::strlen(text))); }

}  // namespace

void RememberWormValueName(const char* name) {
    if (std::strlen(name) < sizeof Session.WormValueName) CopyText(Session.WormValueName, sizeof Session.WormValueName, name);
}

void ReportRegistryRemoval(const char* detectionName) {
    WriteReportLine(kRegistryRemovalFormat, detectionName);
}

void CleanAutorunValues(HKEY root, const char* subkey, REGSAM view, char* infectedPath) {
    OwnedKey key;
    if (RegOpenKeyExA(root, subkey, 0, KEY_READ | view, key.out()) != ERROR_SUCCESS) return;
    DWORD valueCount = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return;
    static char name[16384];
    DWORD deleted = 0;
    for (DWORD i = 0; i < valueCount; ++i) {
        // Deleting a value moves the ones after it down by one index.
        DWORD nameLength = sizeof name;
        if (RegEnumValueA(key.get(), i - deleted, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        if (!CanJudgeAutorunValues(infectedPath)) break;
        RegistryText data;
        if (!ReadRegistryString(root, subkey, name, &data, view)) continue;
        LowerInPlace(data.data());
        LowerInPlace(infectedPath);
        RegistryText expanded;
        if (!ExpandEnvironmentText(data.text(), &expanded)) continue;
        LowerInPlace(expanded.data());

        if (CarryOutVerdict(JudgeAutorunValue(data.text(), expanded.text(), infectedPath),
                            [&] { return DeleteRegistryValue(root, subkey, name, view); },
                            [&] { RememberWormValueName(name); }))
            ++deleted;
    }
}
