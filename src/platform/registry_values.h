// Reading and deleting single values under a registry key, sized to the value whatever its length,
// and expanding the environment references such a value holds.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

// A value's data as NUL-terminated text in a buffer sized to the value (data with a NUL inside
// reads as the text before it). Owns its buffer.
class RegistryText {
public:
    RegistryText() = default;
    ~RegistryText();
    RegistryText(const RegistryText&) = delete;
    RegistryText& operator=(const RegistryText&) = delete;

    const char* text() const { return data_ ? data_ : ""; }
    char* data() { return data_; }
    size_t size() const { return size_; }  // bytes of data as stored, without the added terminator
    // Takes `size` bytes; false when no buffer could be had.
    bool Allocate(size_t size);

private:
    char* data_ = nullptr;
    size_t size_ = 0;
};

// Reads a value of an open key: its size, then its data into a buffer of that size.
bool ReadKeyValueText(HKEY key, const char* valueName, RegistryText* out);

// Expands the environment references of `text` into `out`, sized to the result; false when the
// system cannot expand it.
bool ExpandEnvironmentText(const char* text, RegistryText* out);

// Opens root\subkey for reading (KEY_READ, plus `view`: a registry view flag or 0) and reads the
// value; 1 only if every call succeeded.
int32_t ReadRegistryString(HKEY root, const char* subkey, const char* valueName, RegistryText* out, REGSAM view = 0);

// Opens root\subkey with full access (KEY_ALL_ACCESS, plus `view`) and deletes the value; 1 when deleted
// and the key closed.
int32_t DeleteRegistryValue(HKEY root, const char* subkey, const char* valueName, REGSAM view = 0);
