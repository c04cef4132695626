// Deleting a service's registry keys from both stored control sets.
#pragma once
#include <cstdint>

// Deletes the Enum and Security subkeys and then the key of service `name` under
// ControlSet001 and ControlSet002. 1 when at least one deletion succeeded, else 0. Names that
// are empty, contain a backslash or do not fit the key path are left alone (0).
int32_t DeleteServiceKeys(const char* name);
