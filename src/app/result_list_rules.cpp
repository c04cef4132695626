// Rules of the main window's result list, kept apart from the window so they can be tested natively.
#include "app/result_list_rules.h"

bool ShouldEmptyResultList(int32_t count, bool scanFinished) { return count >= kResultListLimit && !scanFinished; }

int32_t SelectionAfterAppend(int32_t count) { return count > 2 ? count - 1 : count; }

int32_t NewHorizontalExtent(int32_t widestLine, int32_t currentExtent) {
    if (currentExtent < widestLine && widestLine > kExtentThreshold) {
        return static_cast<int32_t>(static_cast<int64_t>(widestLine) * 3 / 4);
    }
    return -1;
}
