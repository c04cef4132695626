// Holds a file open with no sharing at all, so that no other program can even read it, until ended.
// Usage: exclusive_locker <path> <event name>; the named event (made by the caller) is set once the
// file is held. Without an event name it prints "held" on standard output instead.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    if (argc >= 3) {
        HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
        if (!ready) return 4;
        SetEvent(ready);
        CloseHandle(ready);
    } else {
        std::printf("held\n");
        std::fflush(stdout);
    }
    Sleep(INFINITE);
    CloseHandle(file);
    return 0;
}
