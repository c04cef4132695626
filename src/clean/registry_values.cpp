// Reading and deleting single values under a registry key, sized to the value whatever its length.
#include "clean/registry_values.h"

#include <cstdlib>

namespace {

constexpr REGSAM kReadAccess = 0x20019;
constexpr REGSAM kChangeAccess = 0xF003F;
// Autorun commands and uninstall strings are short; a value this large is not one of them.
constexpr DWORD kLargestValue = 1024 * 1024;

}  // namespace

RegistryText::~RegistryText() { std::free(data_); }

bool RegistryText::Allocate(size_t size) {
    std::free(data_);
    size_ = 0;
    // Two spare bytes: the stored text may lack its terminator.
    data_ = static_cast<char*>(std::calloc(size + 2, 1));
    if (data_) size_ = size;
    return data_ != nullptr;
}

bool ReadKeyValueText(HKEY key, const char* valueName, RegistryText* out) {
    DWORD type = REG_SZ;
    DWORD size = 0;
    if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (size > kLargestValue || !out->Allocate(size)) return false;
    DWORD got = size;
    if (RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(out->data()), &got) != ERROR_SUCCESS)
        return false;
    // The size query may over-state ANSI text; the data query tells the real count.
    if (got < size) out->data()[got] = '\0';
    return true;
}

int32_t ReadRegistryString(HKEY root, const char* subkey, const char* valueName, RegistryText* out, REGSAM view) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey, 0, kReadAccess | view, &key) != ERROR_SUCCESS) return 0;
    bool read = ReadKeyValueText(key, valueName, out);
    bool closed = RegCloseKey(key) == ERROR_SUCCESS;
    return read && closed ? 1 : 0;
}

int32_t DeleteRegistryValue(HKEY root, const char* subkey, const char* valueName, REGSAM view) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey, 0, kChangeAccess | view, &key) != ERROR_SUCCESS) return 0;
    if (RegDeleteValueA(key, valueName) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return 0;
    }
    return RegCloseKey(key) == ERROR_SUCCESS ? 1 : 0;
}
