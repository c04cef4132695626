// The facts a report opens with: the computer's name and the time in UTC.
#pragma once
#include <cstddef>

#include "console/run_report.h"

// The computer's NetBIOS name, or "unknown" when the system does not give it.
void ComputerName(char* name, size_t capacity);
UtcTime UtcNow();
