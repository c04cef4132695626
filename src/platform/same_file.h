// Whether two paths name the same file, whichever of its long and short (8.3) names each uses.
#pragma once

// True when the paths, made full (a relative one is taken from the current folder), are equal
// ignoring case, or both files exist and their short forms are equal ignoring case
// (C:\PROGRA~1\x.exe and C:\Program Files\x.exe).
bool SameFilePath(const char* a, const char* b);
