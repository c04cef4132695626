// Deletion of an infected file at the next start of Windows.
#pragma once
#include <cstdint>

#include "platform/named_file.h"

// Non-zero when the deletion at the next restart was scheduled.
int32_t ScheduleRemovalAtRestart(const char* path);
// The same for a file of the NT line reached through the wide functions (`widePath`, its true
// path, no "\\?\" prefix): the system's delayed delete takes the wide path in any length.
int32_t ScheduleRemovalAtRestartWide(const wchar_t* widePath);

// The same for a file as the removal names it: by its true wide path where it has one.
int32_t ScheduleFileRemovalAtRestart(const NamedFile& file);

// Schedules the file's deletion at the next restart; when the system took it, the session counts
// the removal as waiting and keeps the restart due. True when scheduled.
bool LeaveFileForTheRestart(const NamedFile& file);

// The NT line's delayed delete of the file at `path` or, when set, `widePath`: true when the
// system took it. A test puts one that refuses in its place, as Wine never refuses.
using DelayedDeleteFunction = bool (*)(const char* path, const wchar_t* widePath);
extern DelayedDeleteFunction NtDelayedDelete;
