// Reading the program out of a service's registered command line (ImagePath), as text.
#pragma once
#include <cstddef>

// The command with the system's own prefixes resolved: a leading "\SystemRoot\" becomes the
// Windows folder (`windowsFolder`, without a trailing backslash) and a leading "\??\" is dropped.
// Leading blanks go. False when the result does not fit `capacity` (out is then empty).
bool ResolveServiceCommand(const char* command, const char* windowsFolder, char* out, size_t capacity);

// Candidate number `index` (0, 1, ...) for the program that `command` starts. A quoted program is
// the only candidate. An unquoted command may hold blanks in its path, so it is cut at each blank
// in turn, shortest first, and finally taken whole, as the system tries it. False when there is
// no candidate of that number or it does not fit `capacity`.
bool ServiceProgramCandidate(const char* command, int index, char* out, size_t capacity);

// Location number `index` (0, 1, ...) where the system looks for `program` when it starts the
// service: a full path (with a drive, or a network path) or one rooted at the drive is the only
// one; a relative path ("system32\x.exe", "x.exe") is tried in the system folder, then in the
// Windows folder (both without a trailing backslash). A program without an extension is tried
// with ".exe" first. False when there is no location of that number or it does not fit.
bool ServiceProgramLocation(const char* program, const char* systemFolder, const char* windowsFolder, int index,
                            char* out, size_t capacity);
