// Program entry: a first window that proves the build; the real main window replaces it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (FindWindowA(nullptr, "Purgix Ver 1.0")) return 0;
    MessageBoxA(nullptr, "Purgix finds and removes W32/Vorlex.", "Purgix Ver 1.0", MB_OK);
    return 0;
}
