// Whether two paths name the same file, whichever of its long and short (8.3) names each uses.
#pragma once
#include "platform/named_file.h"

// True when the paths, made full (a relative one is taken from the current folder), are equal
// ignoring case, or both files exist and their short forms are equal ignoring case
// (C:\PROGRA~1\x.exe and C:\Program Files\x.exe).
bool SameFilePath(const char* a, const char* b);

// The same for the wide paths of the NT line (full paths, no "\\?\" prefix, any length): equal
// ignoring case, or both files exist and their short forms are equal.
bool SameWidePath(const wchar_t* a, const wchar_t* b);

// True when `path` (an ANSI path, as a registry value gives it) names `file`: its ANSI path, or,
// for a file named by its true wide path, that path.
bool NamesFile(const char* path, const NamedFile& file);
