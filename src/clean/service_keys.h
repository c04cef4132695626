// Deleting a service's registry keys from both stored control sets.
#pragma once
#include <cstdint>

#include "platform/named_file.h"

// Deletes the Enum and Security subkeys and then the key of service `name` under ControlSet001
// and ControlSet002, in each set only when that set's own ImagePath names the file at
// `infected`: a service of that name that runs another program keeps its keys. 1 when at
// least one deletion succeeded, else 0. Names that are empty, contain a backslash or do not fit
// the key path are left alone (0).
int32_t DeleteServiceKeys(const char* name, const NamedFile& infected);
