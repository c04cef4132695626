// Enabling a privilege in the program's own access token.
#pragma once
#include <cstdint>

// EnablePrivilege's outcome when the process token could not be opened (no error code is read).
constexpr int64_t kPrivilegeTokenNotOpened = -1;
// Enables the named privilege (such as "SeShutdownPrivilege") in the process token. Returns
// kPrivilegeTokenNotOpened, or the last-error code read right after the adjustment: 0 when the
// privilege is now enabled, ERROR_NOT_ALL_ASSIGNED (1300) when the account does not hold it.
int64_t EnablePrivilege(const char* name);
