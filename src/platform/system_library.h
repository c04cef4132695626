// Loading the system's own DLLs from the system folder, never from wherever a bare name is found first.
#pragma once
#include <windows.h>

#include <cstddef>

// The full path of `fileName` in the system folder; false when it does not fit `capacity`.
bool SystemLibraryPath(const char* fileName, char* path, size_t capacity);

// Loads `fileName` (such as "psapi.dll") from the system folder. A bare name would be looked for in
// the program's own folder first, where a download folder, a stick or the worm itself may have
// put a DLL of that name. Null when it is missing there.
HMODULE LoadSystemLibrary(const char* fileName);
