// A DLL planted beside Purgix under a system DLL's name: it has none of the real one's functions
// and leaves a mark the moment any program loads it: a line naming itself and the program.
#include <windows.h>

#include <cstring>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char line[2 * MAX_PATH + 4] = {};
        DWORD used = GetModuleFileNameA(self, line, MAX_PATH);
        line[used] = '\t';
        used += 1 + GetModuleFileNameA(nullptr, line + used + 1, MAX_PATH);
        std::memcpy(line + used, "\r\n", 2);
        // Every loading process appends its own line, so the file is shared and opened for appending.
        HANDLE mark = CreateFileA("C:\\planted_library_was_loaded.txt", FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (mark != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(mark, line, used + 2, &written, nullptr);
            CloseHandle(mark);
        }
    }
    return TRUE;
}
