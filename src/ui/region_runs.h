// Turns 32-bit pixel rows into one-pixel-high rectangles of a window region, in batches of 2000.
#pragma once
#include <cstddef>
#include <cstdint>

struct RegionRect {
    int32_t left, top, right, bottom;
};

// The rectangle record the region maker takes: this header, then the rectangles.
struct RegionRecordHeader {
    uint32_t headerSize;  // always 32
    uint32_t type;        // always 1: rectangles
    uint32_t count;
    uint32_t regionSize;  // always 0
    RegionRect bound;
};
static_assert(sizeof(RegionRecordHeader) == 32, "the region maker reads a 32-byte header");

constexpr uint32_t kRegionBatchLimit = 2000;   // no single region request holds more rectangles
constexpr uint32_t kRegionCapacityStep = 100;  // the rectangle block starts with and grows by this many

// Receives every batch: `record` is the header followed by `capacity` rectangle slots, of which
// the header's count are used; byteSize is 32 + capacity * 16. The record is only valid during the call.
class RegionBatchSink {
public:
    virtual void TakeBatch(const RegionRecordHeader* record, size_t byteSize) = 0;

protected:
    ~RegionBatchSink() = default;
};

// Grows (or, from nullptr, allocates) the rectangle block like realloc: nullptr on failure, the
// old block then still valid. The block is released with free(), so the memory must come from realloc.
using RegionBlockGrow = void* (*)(void* block, size_t newSize);

// A 32-bit-per-pixel image: each pixel blue, green, red, reserved. With bottomUp the top row
// of the image is the last row in memory.
struct RegionPixels {
    const void* data;
    size_t size;
    int32_t width;
    int32_t height;
    size_t rowBytes;
    bool bottomUp;
};

// True when the pixel's blue, green and red bytes equal the key's low, second and third bytes.
bool PixelMatchesKey(const uint8_t* pixel, uint32_t key);

// Hands every horizontal run of selected pixels of every row, as the rectangle (x0, y, x, y + 1),
// to the sink in batches: one batch each time 2000 have gathered, and one final batch even when
// it is empty. A pixel is selected when it matches the key and keepNonKey is false, or when it
// does not match and keepNonKey is true. Returns false, without a final batch, when the pixels
// do not lie inside the buffer or the rectangle block cannot be allocated or grown: the caller
// then makes no region at all. grow defaults to realloc.
bool CollectRegionRuns(const RegionPixels& pixels, uint32_t key, bool keepNonKey, RegionBatchSink& sink,
                       RegionBlockGrow grow = nullptr);
