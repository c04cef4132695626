// The three ways of ending the processes that run an infected file, one per Windows generation.
#pragma once
#include <cstdint>

#include "core/perf_data.h"

// Tool-help snapshot (the 9x line): ends the first process that runs `path`: the same full path
// where the snapshot gives full paths (as the 9x line does), else the same file name. 1 when it
// was ended.
int32_t KillBySnapshot(const char* path);
// Registry performance data (NT 4 and earlier, NT 6 and later): ends every process whose instance
// name is the file name of `path` without its extension (or that name numbered name#N), unless the
// system tells it runs another file. 1 when one was ended.
int32_t KillByPerformanceData(const char* path);
// Process-status library (NT 5.x): ends every process whose executable is exactly `path`. 1
// whenever the process list could be read, matched or not; 0 when the library is missing.
int32_t KillByProcessStatus(const char* path);

// KillBySnapshot with the tool-help entry points taken from the library at `libraryPath`.
int32_t KillBySnapshotFrom(const char* libraryPath, const char* path);
// The last step of KillByPerformanceData: ends every entry whose name matches `target` and that
// still runs `path` as far as the system can tell.
int32_t EndMatchingTableEntries(const ProcessTable& table, const char* target, const char* path);
// The first steps of KillByPerformanceData: the process table from the registry; false when
// the counter names, the process data or the id counter cannot be had.
bool ReadPerfProcessTable(ProcessTable* table);
