// Decides whether one file on disk is an infected executable and, if it is, removes it.
#pragma once
#include <cstdint>

// Checks the file at path (the FileCheckerTable entry's name is used only in the lines of a
// pending memory action). The walker hands the size it listed in KnownEntrySize, or -1. 1 when an
// infected file was found in this call (removed or not, and in the recording-only memory phase);
// 0 for a clean, unreadable or malformed file, and for a call that carried out a pending memory
// action.
int32_t FileChecker(const char* detectionName, const char* path);

// The same for a file of the NT line the ANSI functions cannot name: no exact ANSI path and no
// short form of its own (a name outside the code page on a volume without short names, or a path
// past 259 characters there). It is reached through the wide functions at `widePath` (no "\\?\"
// prefix) and shown as `shown`, its readable form. Never in the memory phase.
int32_t FileCheckerWide(const char* detectionName, const wchar_t* widePath, const char* shown);
