// Which Windows line the program runs on, and enabling a privilege in its own access token.
#pragma once
#include <cstdint>

// 4: the 9x line; 5: the NT line; 1: another platform; 0: the version query failed.
int32_t GetOsGeneration();
// 5: NT 4 or earlier; 6: NT 5.x; 0: not NT, NT 6 or later, or the query failed.
int32_t GetNtGeneration();

// EnablePrivilege's outcome when the process token could not be opened (no error code is read).
constexpr int64_t kPrivilegeTokenNotOpened = -1;
// Enables the named privilege (such as "SeShutdownPrivilege") in the process token. Returns
// kPrivilegeTokenNotOpened, or the last-error code read right after the adjustment: 0 when the
// privilege is now enabled, ERROR_NOT_ALL_ASSIGNED (1300) when the account does not hold it.
int64_t EnablePrivilege(const char* name);
