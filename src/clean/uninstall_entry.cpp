// Removal of the worm's uninstall command and of the autorun value that comes with it.
#include "clean/uninstall_entry.h"

#include <windows.h>

#include <cstring>

#include "core/worm_facts.h"
#include "platform/handles.h"
#include "platform/registry_values.h"
#include "platform/wow64.h"

namespace {

// Deletes subkey's value when its data contains `mark` (case as given). False when the key or
// value is missing, cannot be read, or a wanted deletion or the close failed.
bool DeleteValueMarkedWith(const char* subkey, const char* valueName, const char* mark, REGSAM view) {
    OwnedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_ALL_ACCESS | view, key.out()) != ERROR_SUCCESS) return false;
    RegistryText data;
    if (!ReadKeyValueText(key.get(), valueName, &data)) return false;
    if (std::strstr(data.text(), mark) && RegDeleteValueA(key.get(), valueName) != ERROR_SUCCESS) return false;
    return key.Close();
}

// The entry and its companion value in one registry view.
bool CleanUninstallEntryIn(REGSAM view) {
    // The companion value is looked at only while the uninstall entry is still there.
    return DeleteValueMarkedWith(kUninstallKey, kUninstallValue, kUninstallMark, view) &&
           DeleteValueMarkedWith(kCompanionRunKey, kCompanionValue, kCompanionMark, view);
}

}  // namespace

int32_t CleanUninstallEntry() {
    REGSAM views[2];
    const int viewCount = RegistryViews(views);
    int32_t handled = 0;
    for (int v = 0; v < viewCount; ++v)
        if (CleanUninstallEntryIn(views[v])) handled = 1;
    return handled;
}
