// The verdict on one file: is it the worm, and which signature record says so.
#pragma once
#include <cstdint>

// The index in SignatureTable of the first record the file at `path` matches, or -1 for a clean,
// unreadable or malformed file. `listedSize` is the size a folder listing gave for the file, or
// -1 when there was no listing: a listed size no record is keyed to rules the file out unopened.
int MatchWormRecord(const char* path, int64_t listedSize);
// The same for a file of the NT line that only the wide functions can name (no "\\?\" prefix).
int MatchWormRecord(const wchar_t* path, int64_t listedSize);
