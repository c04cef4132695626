// Removal of the worm's uninstall command and of the autorun value that comes with it.
#include <windows.h>

#include <cstring>

#include "clean/autorun_clean.h"
#include "clean/registry_values.h"

namespace {

constexpr REGSAM kChangeAccess = 0xF003F;

// Deletes subkey's value when its data contains `mark` (case as given). False when the key or
// value is missing, cannot be read, or a wanted deletion or the close failed.
bool DeleteValueMarkedWith(const char* subkey, const char* valueName, const char* mark) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, kChangeAccess, &key) != ERROR_SUCCESS) return false;
    RegistryText data;
    if (!ReadKeyValueText(key, valueName, &data)) {
        RegCloseKey(key);
        return false;
    }
    if (std::strstr(data.text(), mark) && RegDeleteValueA(key, valueName) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }
    return RegCloseKey(key) == ERROR_SUCCESS;
}

}  // namespace

int32_t CleanUninstallEntry() {
    // The companion value is looked at only while the uninstall entry is still there.
    if (!DeleteValueMarkedWith("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\rhcjg7j0e38v",
                               "UninstallString", "uninstall.exe"))
        return 0;
    return DeleteValueMarkedWith("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "SMrhcjg7j0e38v",
                                 "rhcjg7j0e38v.exe")
               ? 1
               : 0;
}
