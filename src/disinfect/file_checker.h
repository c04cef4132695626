// What is done about an infected executable: counted, what restarts it cleaned away, then removed.
#pragma once
#include <cstdint>

// Checks the file at `path` (a file of the walk: `listedSize` is the size its folder listing gave,
// or -1) and acts on it with the scan's removal action. 1 when it was infected, removed or not;
// 0 for a clean, unreadable or malformed file. The checker table's name is not used.
int32_t FileChecker(const char* detectionName, const char* path, int64_t listedSize);

// The same for a file of the NT line the ANSI functions cannot name: no exact ANSI path and no
// short form of its own (a name outside the code page on a volume without short names, or a path
// past 259 characters there). It is reached through the wide functions at `widePath` (no "\\?\"
// prefix) and shown as `shown`, its readable form.
int32_t FileCheckerWide(const wchar_t* widePath, const char* shown, int64_t listedSize);

// The executable of a running process: the index of the record it matches, or -1. A match is
// counted, and its autorun values and the hosts file are cleaned, but the file stays: its process
// has to be ended first. A scan that only looks writes the running worm's line instead.
int CheckRunningExecutable(const char* path);

// Removes the file of a process just ended, whose check found record `record`: "System Memory"
// line, a moment for the process to let go of the file, then the scan's removal action under the
// checker table's name. `statusShown` is the status text its check showed.
void RemoveEndedExecutable(const char* path, const char* statusShown, int record);
