// ScaleChildWindows: the per-child move, with the arithmetic from child_scale.
#include "ui/scale_child_windows.h"

#include "ui/child_scale.h"

namespace {

BOOL CALLBACK ScaleOneChild(HWND child, LPARAM param) {
    const auto* factors = reinterpret_cast<const ScaleFactors*>(param);
    RECT r;
    if (!GetWindowRect(child, &r)) return TRUE;
    const ScaledPlacement placed = ScaleScreenRect(r.left, r.top, r.right, r.bottom, *factors);
    POINT origin = {placed.left, placed.top};
    ScreenToClient(GetParent(child), &origin);
    MoveWindow(child, origin.x, origin.y, placed.width, placed.height, TRUE);
    return TRUE;
}

}  // namespace

void ScaleChildWindows(HWND window, int32_t designWidth, int32_t designHeight) {
    RECT client;
    if (!GetClientRect(window, &client)) return;
    ScaleFactors factors;
    if (!ComputeScaleFactors(client.right, client.bottom, designWidth, designHeight, &factors)) return;
    EnumChildWindows(window, ScaleOneChild, reinterpret_cast<LPARAM>(&factors));
}
