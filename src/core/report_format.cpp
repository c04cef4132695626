// The lines of the statistics block that closes the result list of every scan.
#include "core/report_format.h"

#include <cstdio>

#include "core/text.h"

int StatisticsLineCount(const ScanCounterSet& counters) { return counters.filesInfected > 0 ? 6 : 5; }

bool FormatStatisticsLine(int index, const ScanCounterSet& counters, char* out, size_t capacity) {
    if (capacity == 0 || index < 0 || index >= StatisticsLineCount(counters)) return false;
    // The blank separator sets the block off from the finding lines above it.
    if (counters.filesInfected > 0) {
        if (index == 0) return CopyText(out, capacity, " ");
        --index;
    }
    switch (index) {
    case 0: return CopyText(out, capacity, "Scanning statistics");
    case 1: return CopyText(out, capacity, "------------------------------");
    case 2: snprintf(out, capacity, "Total files scanned\t\t:  %d", static_cast<int>(counters.filesScanned)); return true;
    case 3: snprintf(out, capacity, "Total files infected\t\t:  %d", static_cast<int>(counters.filesInfected)); return true;
    default: snprintf(out, capacity, "Total files removed\t\t:  %d", static_cast<int>(counters.filesRemoved)); return true;
    }
}
