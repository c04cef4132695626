// Enabling a privilege in the program's own access token.
#include "platform/privilege.h"

#include <windows.h>

#include "platform/handles.h"

int64_t EnablePrivilege(const char* name) {
    OwnedHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.out()))
        return kPrivilegeTokenNotOpened;
    TOKEN_PRIVILEGES privileges;
    ZeroMemory(&privileges, sizeof privileges);
    // A failed lookup leaves the zero id; the adjustment then fails and its error code says so.
    LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    // Read before the token is closed, which may change the thread's last error.
    return static_cast<int64_t>(GetLastError());
}
