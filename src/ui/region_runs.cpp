// Pixel runs of a window region: row scanning, the rectangle block and its 2000-rectangle batches.
#include "ui/region_runs.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/bounded_reader.h"

namespace {

constexpr RegionRect kEmptyBound = {INT32_MAX, INT32_MAX, 0, 0};

void* ReallocBlock(void* block, size_t newSize) { return std::realloc(block, newSize); }

size_t BlockBytes(uint32_t capacity) { return sizeof(RegionRecordHeader) + size_t{capacity} * sizeof(RegionRect); }

// The growing rectangle record; the memory is freed with free() whatever allocated it.
class RectangleBlock {
public:
    explicit RectangleBlock(RegionBlockGrow grow) : grow_(grow) {}
    ~RectangleBlock() { std::free(block_); }
    RectangleBlock(const RectangleBlock&) = delete;
    RectangleBlock& operator=(const RectangleBlock&) = delete;

    bool Start() {
        if (!Resize(kRegionCapacityStep)) return false;
        Reset();
        return true;
    }

    // False when the block had to grow and could not.
    bool Add(const RegionRect& r, RegionBatchSink& sink) {
        RegionRecordHeader* header = Header();
        if (header->count >= capacity_ && !Resize(capacity_ + kRegionCapacityStep)) return false;
        header = Header();
        Rects()[header->count] = r;
        RegionRect& b = header->bound;
        if (r.left < b.left) b.left = r.left;
        if (r.top < b.top) b.top = r.top;
        if (r.right > b.right) b.right = r.right;
        if (r.bottom > b.bottom) b.bottom = r.bottom;
        if (++header->count == kRegionBatchLimit) Flush(sink);
        return true;
    }

    void Flush(RegionBatchSink& sink) {
        sink.TakeBatch(Header(), BlockBytes(capacity_));
        Reset();
    }

private:
    RegionRecordHeader* Header() { return static_cast<RegionRecordHeader*>(block_); }
    RegionRect* Rects() { return reinterpret_cast<RegionRect*>(static_cast<uint8_t*>(block_) + sizeof(RegionRecordHeader)); }

    bool Resize(uint32_t capacity) {
        void* grown = grow_(block_, BlockBytes(capacity));
        if (!grown) return false;
        block_ = grown;
        capacity_ = capacity;
        return true;
    }

    void Reset() {
        RegionRecordHeader* header = Header();
        header->headerSize = sizeof(RegionRecordHeader);
        header->type = 1;
        header->count = 0;
        header->regionSize = 0;
        header->bound = kEmptyBound;
    }

    RegionBlockGrow grow_;
    void* block_ = nullptr;
    uint32_t capacity_ = 0;
};

bool IsSelected(const uint8_t* pixel, uint32_t key, bool keepNonKey) { return PixelMatchesKey(pixel, key) != keepNonKey; }

}  // namespace

bool PixelMatchesKey(const uint8_t* pixel, uint32_t key) {
    return pixel[0] == (key & 0xFF) && pixel[1] == ((key >> 8) & 0xFF) && pixel[2] == ((key >> 16) & 0xFF);
}

bool CollectRegionRuns(const RegionPixels& pixels, uint32_t key, bool keepNonKey, RegionBatchSink& sink,
                       RegionBlockGrow grow) {
    if (pixels.width < 0 || pixels.height < 0) return false;
    const size_t width = static_cast<size_t>(pixels.width);
    if (width > SIZE_MAX / 4 || pixels.rowBytes < width * 4) return false;
    BoundedReader reader(pixels.data, pixels.size);

    RectangleBlock block(grow ? grow : ReallocBlock);
    if (!block.Start()) return false;
    for (int32_t y = 0; y < pixels.height; ++y) {
        const size_t memoryRow = pixels.bottomUp ? static_cast<size_t>(pixels.height - 1 - y) : static_cast<size_t>(y);
        if (pixels.rowBytes && memoryRow > SIZE_MAX / pixels.rowBytes) return false;
        const uint8_t* row = reader.Bytes(memoryRow * pixels.rowBytes, width * 4);
        if (!row) return false;
        int32_t x = 0;
        while (x < pixels.width) {
            const int32_t x0 = x;
            while (x < pixels.width && IsSelected(row + static_cast<size_t>(x) * 4, key, keepNonKey)) ++x;
            if (x > x0 && !block.Add(RegionRect{x0, y, x, y + 1}, sink)) return false;
            ++x;  // the pixel that ended the run is not selected (or lies past the row)
        }
    }
    block.Flush(sink);
    return true;
}
