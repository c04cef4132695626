// Keeping every DLL loaded by name out of the program's own folder and the current folder.
#pragma once
#include <cstdint>

// LOAD_LIBRARY_SEARCH_SYSTEM32: the system folder alone. The toolchain's headers, set for
// Windows 2000, lack it.
constexpr uint32_t kLoadLibrarySearchSystem32 = 0x00000800;

// Call first, before anything loads a DLL. Where the system offers it (Windows 8 on, Vista and 7
// with their loader update), a bare DLL name is then looked for in the system folder alone;
// elsewhere the current folder leaves the search (SetDllDirectoryA from XP SP1 on; before that the
// current folder becomes the system folder). The program's own folder stays first in the search on
// the systems before Windows 8 without that update: nothing a program can do changes that there.
void KeepDllSearchInSystemFolder();
