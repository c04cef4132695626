// Whether a service is registered to run a given file: its ImagePath read, expanded and resolved.
#pragma once
#include "platform/named_file.h"

// True when the ImagePath of HKEY_LOCAL_MACHINE\serviceKey, with environment references expanded,
// "\SystemRoot\" and "\??\" resolved, quotation marks and arguments dropped, and a relative path
// found where the system would start it from (the system folder, then the Windows folder), names
// `file` (ignoring case, short or long form). False when the key or value is missing.
bool ServiceKeyRunsFile(const char* serviceKey, const NamedFile& file);

// The same for the service `name` as the running system has it registered (CurrentControlSet).
bool ServiceRunsFile(const char* name, const NamedFile& file);

// The key of service `name` under the Services key `servicesKey` (ending in a backslash); false
// for a name that is empty, holds a backslash or does not fit.
bool FormServiceKey(const char* servicesKey, const char* name, const char* suffix, char* out, unsigned capacity);
