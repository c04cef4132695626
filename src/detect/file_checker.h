// Decides whether one file on disk is an infected executable and, if it is, removes it.
#pragma once
#include <cstdint>

// Size of the entry the walker is about to hand to FileChecker, taken from the folder listing,
// or -1 when the caller has no listing (memory phase, direct calls). The walker sets it just
// before the call and puts -1 back afterwards.
extern int64_t KnownEntrySize;

// Checks the file at path (the FileCheckerTable entry's name is used only in the lines of a
// pending memory action). 1 when an infected file was found in this call (removed or not, and in
// the recording-only memory phase); 0 for a clean, unreadable or malformed file, and for a call
// that carried out a pending memory action.
int32_t FileChecker(const char* detectionName, const char* path);

// Applies RemovalAction to an infected file: 100/102 delete, 101 rename, 103 leave; writes the
// outcome line with path and name (or StatusText and LastDetectionName where the action says so).
void ApplyRemovalAction(const char* path, const char* name);
