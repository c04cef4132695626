// Whether the maker's anti-virus product is installed, judged by one registry value.
#pragma once

constexpr char kProductKey[] = "Software\\Tarnwell\\Wardex 2000";
constexpr char kProductValue[] = "Installed Folder";

// True when HKEY_LOCAL_MACHINE\subkey opens for reading, the value exists and the key closes
// cleanly. Only the value's size is asked for: its content is never used, so nothing of it is read.
bool IsProductInstalled(const char* subkey, const char* valueName);
