// Child scaling: factors from the client and design sizes, and each edge divided and truncated.
#include "ui/child_scale.h"

#include <cmath>

namespace {

int32_t DivideTruncated(int32_t value, double factor) {
    const double q = std::trunc(static_cast<double>(value) / factor);
    if (!(q == q)) return 0;  // NaN
    if (q >= 2147483647.0) return INT32_MAX;
    if (q <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(q);
}

int32_t Difference(int32_t high, int32_t low) {
    const int64_t d = static_cast<int64_t>(high) - low;
    if (d > INT32_MAX) return INT32_MAX;
    if (d < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(d);
}

}  // namespace

bool ComputeScaleFactors(int32_t clientWidth, int32_t clientHeight, int32_t designWidth, int32_t designHeight,
                         ScaleFactors* factors) {
    if (clientWidth <= 0 || clientHeight <= 0 || designWidth <= 0 || designHeight <= 0) return false;
    factors->horizontal = static_cast<double>(clientWidth) / designWidth;
    factors->vertical = static_cast<double>(clientHeight) / designHeight;
    return true;
}

ScaledPlacement ScaleScreenRect(int32_t left, int32_t top, int32_t right, int32_t bottom, const ScaleFactors& factors) {
    const int32_t l = DivideTruncated(left, factors.horizontal);
    const int32_t r = DivideTruncated(right, factors.horizontal);
    const int32_t t = DivideTruncated(top, factors.vertical);
    const int32_t b = DivideTruncated(bottom, factors.vertical);
    return ScaledPlacement{l, t, Difference(r, l), Difference(b, t)};
}
