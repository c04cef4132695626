// Moves and sizes every child of a window by the ratio of its client size to a design size.
#pragma once
#include <windows.h>

#include <cstdint>

// Edges are divided in screen coordinates, so the window should stand at the screen origin;
// elsewhere the children would also shift by the window's position divided by the factors.
// Nothing moves when the client area or the design size is empty.
void ScaleChildWindows(HWND window, int32_t designWidth, int32_t designHeight);
