// Reading and deleting single values under a registry key, sized to the value whatever its length,
// and expanding the environment references such a value holds.
#include "platform/registry_values.h"

#include <cstdlib>

#include "platform/handles.h"

namespace {

// Room first given to an expansion: what a 260-byte path and its terminator need.
constexpr DWORD kFirstExpansionSize = 261;
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

bool ExpandEnvironmentText(const char* text, RegistryText* out) {
    DWORD needed = kFirstExpansionSize;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!out->Allocate(needed)) return false;
        const DWORD got = ExpandEnvironmentStringsA(text, out->data(), needed);
        if (got == 0) return false;
        if (got <= needed) return true;
        needed = got;
    }
    return false;
}

int32_t ReadRegistryString(HKEY root, const char* subkey, const char* valueName, RegistryText* out, REGSAM view) {
    OwnedKey key;
    if (RegOpenKeyExA(root, subkey, 0, KEY_READ | view, key.out()) != ERROR_SUCCESS) return 0;
    const bool read = ReadKeyValueText(key.get(), valueName, out);
    const bool closed = key.Close();
    return read && closed ? 1 : 0;
}

int32_t DeleteRegistryValue(HKEY root, const char* subkey, const char* valueName, REGSAM view) {
    OwnedKey key;
    if (RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS | view, key.out()) != ERROR_SUCCESS) return 0;
    if (RegDeleteValueA(key.get(), valueName) != ERROR_SUCCESS) return 0;
    return key.Close() ? 1 : 0;
}
