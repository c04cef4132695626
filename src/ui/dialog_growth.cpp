// Growth arithmetic of the message dialog; all amounts are pixels.
#include "ui/dialog_growth.h"

DialogGrowth ComputeDialogGrowth(size_t textLength) {
    if (textLength > kGrowthLengthLimit) textLength = kGrowthLengthLimit;
    DialogGrowth g{};
    g.unit = static_cast<int32_t>((textLength / 30 + 1) * 10);
    g.width = static_cast<int32_t>(g.unit * 1.25);
    g.quarter = g.width / 4;
    return g;
}
