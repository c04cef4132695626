// The lines of the statistics block that closes the result list of every scan.
#pragma once
#include <cstddef>

#include "core/scan_session.h"

// Number of lines the block has for these counts (a leading blank line only after a finding).
int StatisticsLineCount(const ScanCounterSet& counters);
// Formats line `index` (0-based) of the block into out; false when index is past the block.
bool FormatStatisticsLine(int index, const ScanCounterSet& counters, char* out, size_t capacity);
