// Shared set-up of the cleaning and removal tests: registry values, system folders, short paths.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/report.h"
#include "core/scan_session.h"
#include "engine_test.h"
#include "wine_test_support.h"

inline std::string WindowsFolder() {
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, sizeof path);
    return path;
}

inline std::string SystemFolder() {
    char path[MAX_PATH] = "";
    GetSystemDirectoryA(path, sizeof path);
    return path;
}

inline std::string TempFolder() {
    char path[MAX_PATH] = "";
    GetTempPathA(sizeof path, path);
    return path;
}

inline std::string ShortPathOf(const std::string& path) {
    char shortPath[MAX_PATH] = "";
    DWORD n = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    return n && n < sizeof shortPath ? std::string(shortPath) : std::string();
}

// One registry value as stored: type and raw data.
struct StoredValue {
    DWORD type;
    std::vector<uint8_t> data;
    bool operator==(const StoredValue& o) const { return type == o.type && data == o.data; }
};
// Every value of an HKLM key by name; empty when the key is missing.
using KeySnapshot = std::map<std::string, StoredValue>;

inline KeySnapshot SnapshotKey(const std::string& subkey) {
    KeySnapshot values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    std::vector<char> name(16384);
    std::vector<uint8_t> data(1 << 20);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataLength = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LONG r = RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength);
        if (r != ERROR_SUCCESS) break;
        values[std::string(name.data(), nameLength)] = {type, std::vector<uint8_t>(data.begin(), data.begin() + dataLength)};
    }
    RegCloseKey(key);
    return values;
}

inline bool SetValue(const std::string& subkey, const std::string& name, const std::string& text, DWORD type = REG_SZ) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

inline bool HasValue(const std::string& subkey, const std::string& name) {
    return SnapshotKey(subkey).count(name) != 0;
}

// The snapshot without the named values: what a key should hold after they were removed.
inline KeySnapshot Without(KeySnapshot values, const std::vector<std::string>& names) {
    for (const std::string& n : names) values.erase(n);
    return values;
}

