// Deletion of an infected file at the next start of Windows.
#pragma once
#include <cstdint>

// Non-zero when the deletion at the next restart was scheduled.
int32_t ScheduleRemovalAtRestart(const char* path);
