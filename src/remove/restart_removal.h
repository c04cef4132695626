// Deletion of an infected file at the next start of Windows.
#pragma once
#include <cstdint>

// Non-zero when the deletion at the next restart was scheduled.
int32_t ScheduleRemovalAtRestart(const char* path);
// The same for a file of the NT line the ANSI functions cannot name (`widePath`, no "\\?\" prefix):
// the system's delayed delete takes the wide path in any length.
int32_t ScheduleRemovalAtRestartWide(const wchar_t* widePath);
