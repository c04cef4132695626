// The work area (the screen without the taskbar) of the monitor that holds a window.
#pragma once
#include <windows.h>

// The work area of the monitor that holds most of `window` (the nearest one when none does). The
// monitor functions are looked up at run time (Windows 95 and NT 4 lack them); without them, the
// primary monitor's work area. False when neither can be had.
bool WorkAreaOf(HWND window, RECT* work);
