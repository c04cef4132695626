// Which Windows line the program runs on, and enabling a privilege in its own access token.
#include "memory/platform_probes.h"

#include <windows.h>

namespace {

// Queried afresh on every call: nothing about the system is cached.
bool QueryVersion(OSVERSIONINFOA* info) {
    ZeroMemory(info, sizeof *info);
    info->dwOSVersionInfoSize = sizeof *info;
    return GetVersionExA(info) != FALSE;
}

}  // namespace

int32_t GetOsGeneration() {
    OSVERSIONINFOA info;
    if (!QueryVersion(&info)) return 0;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS: return 4;
    case VER_PLATFORM_WIN32_NT: return 5;
    default: return 1;
    }
}

int32_t GetNtGeneration() {
    OSVERSIONINFOA info;
    if (!QueryVersion(&info) || info.dwPlatformId != VER_PLATFORM_WIN32_NT) return 0;
    if (info.dwMajorVersion <= 4) return 5;
    return info.dwMajorVersion == 5 ? 6 : 0;
}

int64_t EnablePrivilege(const char* name) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return kPrivilegeTokenNotOpened;
    TOKEN_PRIVILEGES privileges;
    ZeroMemory(&privileges, sizeof privileges);
    // A failed lookup leaves the zero id; the adjustment then fails and its error code says so.
    LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    // Read before CloseHandle, which may change the thread's last error.
    DWORD error = GetLastError();
    CloseHandle(token);
    return static_cast<int64_t>(error);
}
