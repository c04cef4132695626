// When the result list empties, which line it selects, and how wide it lets the user scroll.
#pragma once
#include <cstdint>

constexpr int32_t kResultListLimit = 150;   // lines kept during a scan before the list starts over
constexpr int32_t kExtentThreshold = 560;   // lines no wider than this never widen the scroll range

// During a scan the list starts over once it holds the limit; the statistics block (after
// ScanFinished) is never emptied away.
bool ShouldEmptyResultList(int32_t count, bool scanFinished);

// The item to select after a line made the count `count`: the last one from the third line on;
// for one or two lines an index past the end, which selects nothing.
int32_t SelectionAfterAppend(int32_t count);

// The new horizontal extent for the widest line, or -1 to leave the current extent: three
// quarters of the width when it exceeds the threshold and the current extent.
int32_t NewHorizontalExtent(int32_t widestLine, int32_t currentExtent);
