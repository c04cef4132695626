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
    kTooLong,  // the result would not fit the longest path (or capacity): the entry is skipped
};

// The patterns and paths below are cut and joined alike in ANSI text (at most 259 characters, what
// the ANSI functions take) and in wide text (the NT line's wide functions, up to `maxChars`).

// An entry's full path: the pattern cut before the character that precedes its last '.', then
// name (C:\dir\*.* with a.txt gives C:\dir\a.txt).
template <typename Char>
PathForm FormEntryPath(const Char* pattern, const Char* name, Char* out, size_t capacity, size_t maxChars = kMaxPathChars);
// A subfolder's own pattern: cut as for an entry, then folder name and "\*.*".
template <typename Char>
PathForm FormChildPattern(const Char* pattern, const Char* folderName, Char* out, size_t capacity,
                          size_t maxChars = kMaxPathChars);
// The pattern of the folder pass: the pattern cut just after its last '.', then "*" (a pattern
// without '.' only gets the "*"). kNoDot is never returned.
template <typename Char>
PathForm FormFolderPassPattern(const Char* pattern, Char* out, size_t capacity, size_t maxChars = kMaxPathChars);
// For a drive-root pattern: the text up to its first ':' followed by "\Program Files".
// False when there is no ':' or the result would not fit.
bool FormProgramFilesFolder(const char* pattern, char* out, size_t capacity);
// True when a child pattern runs through a folder named exactly "Program Files" (case matters).
bool NamesProgramFilesFolder(const char* childPattern);
bool NamesProgramFilesFolder(const wchar_t* childPattern);
// The part of a path after its last backslash (the whole path when it has none).
const char* FileNamePart(const char* path);
// The "." and ".." entries every folder listing may carry.
template <typename Char>
bool IsDotEntry(const Char* name);
