// The work area (the screen without the taskbar) of the monitor that holds a window.
#include "platform/work_area.h"

#include "platform/entry_point.h"

bool WorkAreaOf(HWND window, RECT* work) {
    if (HMODULE user = GetModuleHandleA("user32.dll")) {
        auto monitorFromWindow = LookUpEntryPoint<decltype(&MonitorFromWindow)>(user, "MonitorFromWindow");
        auto monitorInfo = LookUpEntryPoint<decltype(&GetMonitorInfoA)>(user, "GetMonitorInfoA");
        if (monitorFromWindow && monitorInfo) {
            MONITORINFO info;
            ZeroMemory(&info, sizeof info);
            info.cbSize = sizeof info;
            HMONITOR monitor = monitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
            if (monitor && monitorInfo(monitor, &info)) {
                *work = info.rcWork;
                return true;
            }
        }
    }
    return SystemParametersInfoA(SPI_GETWORKAREA, 0, work, 0) != FALSE;
}
