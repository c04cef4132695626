// Keeping every DLL loaded by name out of the program's own folder and the current folder.
#include "platform/dll_search.h"

#include <windows.h>

#include "platform/entry_point.h"

namespace {

// The toolchain's headers are set for Windows 2000 and know neither function.
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);

}  // namespace

void KeepDllSearchInSystemFolder() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    // Looked up, not imported: the 9x line, NT 4, 2000 and XP before SP1 lack both, and an import
    // would stop the program from loading there.
    auto setDefault = LookUpEntryPoint<SetDefaultDllDirectoriesFn>(kernel, "SetDefaultDllDirectories");
    if (setDefault && setDefault(kLoadLibrarySearchSystem32)) return;
    if (auto setDirectory = LookUpEntryPoint<SetDllDirectoryFn>(kernel, "SetDllDirectoryA")) {
        setDirectory("");  // an empty string takes the current folder out of the search
        return;
    }
    // Older systems search the current folder right after the program's own: make it one that
    // holds the system's DLLs anyway. The program opens nothing by a relative name.
    char system[MAX_PATH];
    const UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length > 0 && length < sizeof system) SetCurrentDirectoryA(system);
}
