// Arithmetic of rescaling child windows from a window's client size to its design size.
#pragma once
#include <cstdint>

struct ScaleFactors {
    double horizontal;  // client width / design width
    double vertical;    // client height / design height
};

// False when any size is zero or negative: there is nothing sensible to scale by, and the
// children are then left where they are.
bool ComputeScaleFactors(int32_t clientWidth, int32_t clientHeight, int32_t designWidth, int32_t designHeight,
                         ScaleFactors* factors);

struct ScaledPlacement {
    int32_t left, top;  // still screen-derived: the caller converts them to the parent's client coordinates
    int32_t width, height;
};

// Divides each edge of a screen rectangle by its factor, truncating toward zero (clamped to the
// 32-bit range), and derives the size from the truncated edges.
ScaledPlacement ScaleScreenRect(int32_t left, int32_t top, int32_t right, int32_t bottom, const ScaleFactors& factors);
