// A window region cut from a bitmap: every pixel that is not (or, on request, that is) the key colour.
#pragma once
#include <windows.h>

#include <cstdint>

// key is compared with each pixel's blue, green and red bytes from its low byte up; keepNonKey
// non-zero keeps the pixels that differ from it. The region counts from the bitmap's top-left
// corner and belongs to the caller. nullptr when the bitmap is missing or any step fails,
// including running out of memory for the rectangles (a half-made region would cut the window wrongly).
HRGN RegionFromBitmap(HBITMAP bitmap, uint32_t key, int32_t keepNonKey);
