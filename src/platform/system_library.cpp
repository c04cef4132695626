// Loading the system's own DLLs from the system folder, never from wherever a bare name is found first.
#include "platform/system_library.h"

#include "core/text.h"
#include "platform/wow64.h"

bool SystemLibraryPath(const char* fileName, char* path, size_t capacity) {
    if (capacity == 0) return false;
    const UINT room = capacity > MAX_PATH ? MAX_PATH : static_cast<UINT>(capacity);
    const UINT length = GetSystemDirectoryA(path, room);
    if (length == 0 || length >= room) return false;
    return AppendText(path, capacity, "\\") && AppendText(path, capacity, fileName);
}

HMODULE LoadSystemLibrary(const char* fileName) {
    char path[MAX_PATH];
    if (!SystemLibraryPath(fileName, path, sizeof path)) return nullptr;
    // A 32-bit program on 64-bit Windows needs the 32-bit DLL, which System32 means only while
    // redirection is on.
    FileSystemRedirectionPause dllLoading;
    return LoadLibraryA(path);
}
