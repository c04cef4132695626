// Region runs from pixels: selection by key, byte order, row order, batching at 2000, failed growth.
#include "ui/region_runs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

struct Batch {
    uint32_t count;
    size_t byteSize;
    RegionRect bound;
    std::vector<RegionRect> rects;
};

class RecordingSink : public RegionBatchSink {
public:
    void TakeBatch(const RegionRecordHeader* record, size_t byteSize) override {
        EXPECT_EQ(record->headerSize, 32u);
        EXPECT_EQ(record->type, 1u);
        EXPECT_EQ(record->regionSize, 0u);
        const auto* rects = reinterpret_cast<const RegionRect*>(record + 1);
        batches.push_back(Batch{record->count, byteSize, record->bound, std::vector<RegionRect>(rects, rects + record->count)});
    }
    std::vector<RegionRect> All() const {
        std::vector<RegionRect> all;
        for (const Batch& b : batches) all.insert(all.end(), b.rects.begin(), b.rects.end());
        return all;
    }
    std::vector<Batch> batches;
};

// A top-down image of 32-bit pixels, each given as 0xRRGGBB.
struct Image {
    Image(int32_t w, int32_t h, uint32_t fill) : width(w), height(h), bytes(static_cast<size_t>(w) * h * 4) {
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) Set(x, y, fill);
    }
    void Set(int32_t x, int32_t y, uint32_t rgb) {
        uint8_t* p = &bytes[(static_cast<size_t>(y) * width + x) * 4];
        p[0] = rgb & 0xFF;
        p[1] = (rgb >> 8) & 0xFF;
        p[2] = (rgb >> 16) & 0xFF;
        p[3] = 0x5A;  // the reserved byte never takes part
    }
    RegionPixels Pixels() const { return RegionPixels{bytes.data(), bytes.size(), width, height, static_cast<size_t>(width) * 4, false}; }
    int32_t width, height;
    std::vector<uint8_t> bytes;
};

constexpr uint32_t kMagenta = 0xFF00FF;
constexpr uint32_t kGrey = 0x336699;

bool operator==(const RegionRect& a, const RegionRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(RegionRuns, SinglePixelFollowsKeyAndFlag) {
    Image image(1, 1, kMagenta);
    RecordingSink keepOthers;
    ASSERT_TRUE(CollectRegionRuns(image.Pixels(), kMagenta, true, keepOthers));
    ASSERT_EQ(keepOthers.batches.size(), 1u);  // the final batch comes even when empty
    EXPECT_EQ(keepOthers.batches[0].count, 0u);
    EXPECT_EQ(keepOthers.batches[0].bound.left, INT32_MAX);
    EXPECT_EQ(keepOthers.batches[0].bound.top, INT32_MAX);
    EXPECT_EQ(keepOthers.batches[0].bound.right, 0);
    EXPECT_EQ(keepOthers.batches[0].bound.bottom, 0);

    RecordingSink keepKey;
    ASSERT_TRUE(CollectRegionRuns(image.Pixels(), kMagenta, false, keepKey));
    ASSERT_EQ(keepKey.All().size(), 1u);
    EXPECT_TRUE(keepKey.All()[0] == (RegionRect{0, 0, 1, 1}));
}

TEST(RegionRuns, RunsSplitAtKeyPixelsWithinARow) {
    Image image(6, 2, kGrey);
    const uint32_t row[6] = {kMagenta, kMagenta, kGrey, kGrey, kMagenta, kGrey};
    for (int32_t x = 0; x < 6; ++x) image.Set(x, 1, row[x]);
    RecordingSink sink;
    ASSERT_TRUE(CollectRegionRuns(image.Pixels(), kMagenta, true, sink));
    const std::vector<RegionRect> all = sink.All();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_TRUE(all[0] == (RegionRect{0, 0, 6, 1}));  // runs of different rows are never merged
    EXPECT_TRUE(all[1] == (RegionRect{2, 1, 4, 2}));
    EXPECT_TRUE(all[2] == (RegionRect{5, 1, 6, 2}));
    EXPECT_EQ(sink.batches.back().bound.left, 0);
    EXPECT_EQ(sink.batches.back().bound.top, 0);
    EXPECT_EQ(sink.batches.back().bound.right, 6);
    EXPECT_EQ(sink.batches.back().bound.bottom, 2);
}

TEST(RegionRuns, KeyBytesAreBlueGreenRedFromTheLowEnd) {
    Image image(2, 1, 0);
    image.Set(0, 0, 0x0000FF);  // pure blue
    image.Set(1, 0, 0xFF0000);  // pure red
    RecordingSink sink;
    ASSERT_TRUE(CollectRegionRuns(image.Pixels(), 0x0000FF, false, sink));
    ASSERT_EQ(sink.All().size(), 1u);
    EXPECT_TRUE(sink.All()[0] == (RegionRect{0, 0, 1, 1}));

    const uint8_t blue[4] = {0xFF, 0x00, 0x00, 0x00};
    const uint8_t red[4] = {0x00, 0x00, 0xFF, 0x00};
    EXPECT_TRUE(PixelMatchesKey(blue, 0x0000FF));
    EXPECT_FALSE(PixelMatchesKey(red, 0x0000FF));
    EXPECT_TRUE(PixelMatchesKey(red, 0xFF0000));
    const uint8_t blueWithReserved[4] = {0xFF, 0x00, 0x00, 0xFF};
    EXPECT_TRUE(PixelMatchesKey(blueWithReserved, 0xFF0000FF));  // the key's top byte is ignored
}

TEST(RegionRuns, BottomUpImagesReadTheirTopRowLast) {
    // Two rows in memory: first the image's bottom row (all key), then its top row (one grey pixel).
    std::vector<uint8_t> memory(3 * 2 * 4, 0);
    for (int i = 0; i < 6; ++i) {
        memory[i * 4] = 0xFF;
        memory[i * 4 + 2] = 0xFF;
    }
    memory[(3 + 1) * 4] = 0x11;  // top row, x = 1: not the key
    RegionPixels pixels{memory.data(), memory.size(), 3, 2, 12, true};
    RecordingSink sink;
    ASSERT_TRUE(CollectRegionRuns(pixels, kMagenta, true, sink));
    ASSERT_EQ(sink.All().size(), 1u);
    EXPECT_TRUE(sink.All()[0] == (RegionRect{1, 0, 2, 1}));
}

TEST(RegionRuns, RowsHonourTheirPaddedLength) {
    // Width 1 with 8-byte rows: the padding pixel must not be read as part of the row.
    std::vector<uint8_t> memory(2 * 8, 0);
    memory[8 + 4] = 0xFF;  // padding of row 1 looks like blue
    RegionPixels pixels{memory.data(), memory.size(), 1, 2, 8, false};
    RecordingSink sink;
    ASSERT_TRUE(CollectRegionRuns(pixels, 0, true, sink));
    EXPECT_TRUE(sink.All().empty());
}

TEST(RegionRuns, ExactlyTwoThousandRectanglesMakeOneFullBatchAndAnEmptyOne) {
    // Every other pixel selected: 20 runs per row, 100 rows.
    Image image(40, 100, kMagenta);
    for (int32_t y = 0; y < 100; ++y)
        for (int32_t x = 0; x < 40; x += 2) image.Set(x, y, kGrey);
    RecordingSink sink;
    ASSERT_TRUE(CollectRegionRuns(image.Pixels(), kMagenta, true, sink));
    ASSERT_EQ(sink.batches.size(), 2u);
    EXPECT_EQ(sink.batches[0].count, 2000u);
    EXPECT_EQ(sink.batches[0].byteSize, 32u + 2000u * 16u);
    EXPECT_EQ(sink.batches[0].bound.right, 39);
    EXPECT_EQ(sink.batches[0].bound.bottom, 100);
    EXPECT_EQ(sink.batches[1].count, 0u);
    EXPECT_EQ(sink.batches[1].byteSize, 32u + 2000u * 16u);  // the capacity stays after a batch
    EXPECT_EQ(sink.batches[1].bound.left, INT32_MAX);
}

TEST(RegionRuns, BatchesNeverExceedTheLimitAndLoseNothing) {
    // Key pixels at every odd x: 51 single-pixel runs per row, 6120 in all, across three batch borders.
    Image image(101, 120, kGrey);
    for (int32_t y = 0; y < 120; ++y)
        for (int32_t x = 1; x < 101; x += 2) image.Set(x, y, kMagenta);
    RecordingSink sink;
    ASSERT_TRUE(CollectRegionRuns(image.Pixels(), kMagenta, true, sink));
    size_t total = 0;
    for (const Batch& b : sink.batches) {
        EXPECT_LE(b.count, 2000u);
        total += b.count;
    }
    EXPECT_EQ(total, 51u * 120u);
    ASSERT_EQ(sink.batches.size(), 4u);  // 2000, 2000, 2000, then the last 120
    EXPECT_EQ(sink.batches[3].count, 120u);
    EXPECT_EQ(sink.batches[3].bound.top, 117);  // 6000 rectangles end inside row 117
    EXPECT_EQ(sink.batches[3].bound.bottom, 120);
}

TEST(RegionRuns, WholeBackgroundWithoutKeyIsOneRectanglePerRow) {
    Image image(527, 338, 0x024DF6);
    RecordingSink sink;
    ASSERT_TRUE(CollectRegionRuns(image.Pixels(), kMagenta, true, sink));
    const std::vector<RegionRect> all = sink.All();
    ASSERT_EQ(all.size(), 338u);
    for (int32_t y = 0; y < 338; ++y) EXPECT_TRUE(all[y] == (RegionRect{0, y, 527, y + 1}));
}

namespace {
int growCalls = 0;
int growCallsAllowed = 0;
void* FailingGrow(void* block, size_t size) {
    if (growCalls++ >= growCallsAllowed) return nullptr;
    return std::realloc(block, size);
}
}  // namespace

TEST(RegionRuns, FailedGrowthStopsWithoutAFinalBatch) {
    Image image(150, 2, kGrey);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 1; x < 150; x += 2) image.Set(x, y, kMagenta);  // 75 runs a row: 150 need one growth
    growCalls = 0;
    growCallsAllowed = 1;  // the first allocation works, the growth at rectangle 101 fails
    RecordingSink failing;
    EXPECT_FALSE(CollectRegionRuns(image.Pixels(), kMagenta, true, failing, FailingGrow));
    EXPECT_TRUE(failing.batches.empty());
    EXPECT_EQ(growCalls, 2);

    growCalls = 0;
    growCallsAllowed = 0;  // not even the first block
    RecordingSink noBlock;
    EXPECT_FALSE(CollectRegionRuns(image.Pixels(), kMagenta, true, noBlock, FailingGrow));
    EXPECT_TRUE(noBlock.batches.empty());

    growCalls = 0;
    growCallsAllowed = 2;
    RecordingSink grown;
    EXPECT_TRUE(CollectRegionRuns(image.Pixels(), kMagenta, true, grown, FailingGrow));
    ASSERT_EQ(grown.batches.size(), 1u);
    EXPECT_EQ(grown.batches[0].count, 150u);
    EXPECT_EQ(grown.batches[0].byteSize, 32u + 200u * 16u);
}

TEST(RegionRuns, PixelsOutsideTheBufferAreRefused) {
    std::vector<uint8_t> memory(4 * 4 * 3, 0);  // three rows of four pixels, but four claimed
    RecordingSink sink;
    EXPECT_FALSE(CollectRegionRuns(RegionPixels{memory.data(), memory.size(), 4, 4, 16, false}, 1, true, sink));
    EXPECT_FALSE(CollectRegionRuns(RegionPixels{memory.data(), memory.size(), 4, 3, 12, false}, 1, true, sink));  // rows too short
    EXPECT_FALSE(CollectRegionRuns(RegionPixels{memory.data(), memory.size(), -1, 3, 16, false}, 1, true, sink));
    EXPECT_TRUE(sink.batches.empty());
    EXPECT_TRUE(CollectRegionRuns(RegionPixels{memory.data(), memory.size(), 4, 3, 16, false}, 1, true, sink));
}
