// Holds a file open without delete sharing until it is ended, as a program using the file would.
// Usage: locker <path> <event name>; the named event (made by the caller) is set once the file is held.
#include <windows.h>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (!ready) return 4;
    SetEvent(ready);
    CloseHandle(ready);
    Sleep(INFINITE);
    CloseHandle(file);
    return 0;
}
