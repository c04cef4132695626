// The NT line's wide-character file functions, looked up at run time: they reach names the ANSI
// code page lacks and paths past 259 characters. The 9x line only stubs them, and the x86 exe
// must still load there, so nothing here is imported.
#pragma once
#include <windows.h>

struct WideFileFunctions {
    decltype(&FindFirstFileW) findFirst;
    decltype(&FindNextFileW) findNext;
    decltype(&CreateFileW) createFile;
    decltype(&SetFileAttributesW) setAttributes;
    decltype(&DeleteFileW) deleteFile;
    decltype(&MoveFileExW) moveFileEx;
    decltype(&GetShortPathNameW) shortPathName;
    decltype(&GetLongPathNameW) longPathName;  // missing on NT 4, where a short name cannot be proven
};

// The functions on the NT line, or null on any other line or when one of them (but the long-name
// lookup) is missing.
const WideFileFunctions* NtWideFileFunctions();

// Longest path the wide functions take with the "\\?\" prefix (characters, prefix included).
constexpr size_t kMaxWidePathChars = 32767;
