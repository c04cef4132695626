// What is done about an infected executable: counted, what restarts it cleaned away, then removed.
#pragma once
#include <cstdint>

#include "platform/named_file.h"

// Checks the file at `path` (a file of the walk: `listedSize` is the size its folder listing gave,
// or -1) and acts on it with the scan's removal action. 1 when it was infected, removed or not;
// 0 for a clean, unreadable or malformed file. The checker table's name is not used.
int32_t FileChecker(const char* detectionName, const char* path, int64_t listedSize);

// The same for a file of the NT line whose exact ANSI path is not its own: a name outside the
// code page, a path past 259 characters, or a name the system's path normalisation would change
// (a trailing dot or blank, a DOS device name). It is reached through the wide functions at its
// true path `widePath` (no "\\?\" prefix), and shown as `shown` (its short form, or its readable
// form); its autorun values are judged against the true path.
int32_t FileCheckerWide(const wchar_t* widePath, const char* shown, int64_t listedSize);

// The executable of a running process (`file`: an ANSI path, or on the NT line a true wide path
// with its shown form): the index of the record it matches, or -1. A match is counted, and its
// autorun values and the hosts file are cleaned, but the file stays: its process has to be ended
// first. A scan that only looks writes the running worm's line instead.
int CheckRunningExecutable(const NamedFile& file);

// Removes the file of a process just ended, whose check found record `record`: "System Memory"
// line, a moment for the process to let go of the file, then the scan's removal action under the
// checker table's name. `statusShown` is the status text its check showed.
void RemoveEndedExecutable(const NamedFile& file, const char* statusShown, int record);
