// One unattended run from its switches to its exit code.
#pragma once
#include <cstdint>

#include "console/command_line.h"
#include "scan/scan_driver.h"

// The scan to run: ScanDriver, or a stand-in in a test.
using ScanEntry = ScanOutcome (*)(const ScanOptions& options, ScanHost& host);

// Refuses to start beside another Purgix, opens the reports, runs `scan` with the console as its
// host, has the file of a worm that keeps running removed at the restart, writes the reports and,
// with /restart:now, starts the restart. Returns the exit code (console/exit_code.h).
int32_t RunUnattended(const ConsoleOptions& options, ScanEntry scan);
