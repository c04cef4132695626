// The installed-product check: one registry query for the value's type and size.
#include "app/product_check.h"

#include <windows.h>

bool IsProductInstalled(const char* subkey, const char* valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD size = 0;
    const bool found = RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    const bool closed = RegCloseKey(key) == ERROR_SUCCESS;
    return found && closed;
}
