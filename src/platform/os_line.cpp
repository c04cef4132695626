// Which Windows line the program runs on, asked afresh on every call.
#include "platform/os_line.h"

#include <windows.h>

namespace {

// Queried afresh on every call: nothing about the system is cached.
bool QueryVersion(OSVERSIONINFOA* info) {
    ZeroMemory(info, sizeof *info);
    info->dwOSVersionInfoSize = sizeof *info;
    return GetVersionExA(info) != FALSE;
}

}  // namespace

OsGeneration GetOsGeneration() {
    OSVERSIONINFOA info;
    if (!QueryVersion(&info)) return kOsQueryFailed;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS: return kOsNineX;
    case VER_PLATFORM_WIN32_NT: return kOsNt;
    default: return kOsOther;
    }
}

NtGeneration GetNtGeneration() {
    OSVERSIONINFOA info;
    if (!QueryVersion(&info) || info.dwPlatformId != VER_PLATFORM_WIN32_NT) return kNtOther;
    if (info.dwMajorVersion <= 4) return kNt4OrEarlier;
    return info.dwMajorVersion == 5 ? kNt5 : kNtOther;
}
