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
