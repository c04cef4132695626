// Text work on the walker's paths: the shortened display form and the cutting and joining of patterns.
#pragma once
#include <cstddef>
#include <cstdint>

// A path the ANSI file functions accept has at most this many characters.
constexpr size_t kMaxPathChars = 259;

// Abbreviates source to width characters (first half, dots, last half) when it is longer, else
// copies it. destination holds capacity bytes and is always terminated within them.
void ShortenPath(const char* source, char* destination, size_t capacity, int16_t width);

enum class PathForm {
    kFormed,   // out holds the result
    kNoDot,    // the pattern has no '.' to cut at: the walker gives up with -1
    kTooLong,  // the result would not fit 259 characters (or capacity): the entry is skipped
};

// An entry's full path: the pattern cut before the character that precedes its last '.', then
// name (C:\dir\*.* with a.txt gives C:\dir\a.txt).
PathForm FormEntryPath(const char* pattern, const char* name, char* out, size_t capacity);
// A subfolder's own pattern: cut as for an entry, then folder name and "\*.*".
PathForm FormChildPattern(const char* pattern, const char* folderName, char* out, size_t capacity);
// The pattern of the folder pass: the pattern cut just after its last '.', then "*" (a pattern
// without '.' only gets the "*"). kNoDot is never returned.
PathForm FormFolderPassPattern(const char* pattern, char* out, size_t capacity);
// For a drive-root pattern: the text up to its first ':' followed by "\Program Files".
// False when there is no ':' or the result would not fit.
bool FormProgramFilesFolder(const char* pattern, char* out, size_t capacity);
// True when a child pattern runs through a folder named exactly "Program Files" (case matters).
bool NamesProgramFilesFolder(const char* childPattern);
// The part of a path after its last backslash (the whole path when it has none).
const char* FileNamePart(const char* path);
// The "." and ".." entries every folder listing may carry.
bool IsDotEntry(const char* name);
