// Program entry: a first window that proves the build; the real main window replaces it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    if (FindWindowA(nullptr, "Purgix Ver 1.0")) return 0;
    HWND window = CreateWindowExA(0, "STATIC", "Purgix Ver 1.0", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  0, 0, 600, 462, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
