// The recursive walk below a search pattern: status per entry, files to the checkers, pumping.
#pragma once
#include <cstdint>

// A file checker: given its table entry's detection name, a file's full path and the size its
// folder listing gave, non-zero when it dealt with the file (later checkers are then not asked).
using FileCheckerProc = int32_t (*)(const char* detectionName, const char* path, int64_t listedSize);
struct FileCheckerEntry {
    const char* detectionName;
    FileCheckerProc checker;
};
// The checkers in the order they are asked, ended by an entry with a null name and checker.
extern const FileCheckerEntry FileCheckerTable[2];

// Walks pattern (a folder followed by "\*.*"): 0 when a cancel was noticed at this level, -1 when
// a path could not be formed for want of a '.', else the files-scanned count. Entries whose path
// would exceed the longest the file functions take are skipped.
int32_t DirectoryWalker(const char* pattern);
