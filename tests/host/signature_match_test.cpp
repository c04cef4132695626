// Matching files against the signature table: what is found, what is passed by, and odd addresses.
#include "core/signature_match.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/le_bytes.h"
#include "support/sample_builder.h"

namespace {

constexpr size_t kH = kSampleHeaderOffset;

// Reads the headers and walks the table, as the file checker does; -2 when the headers fail.
int Check(const std::vector<uint8_t>& bytes) {
    MemorySource source(bytes.data(), bytes.size());
    PeHeaders headers;
    if (!ReadPeHeaders(source, &headers)) return -2;
    return FindMatchingRecord(source, headers, static_cast<int32_t>(bytes.size()));
}

void Put(std::vector<uint8_t>& b, int64_t at, const uint8_t* signature) {
    ASSERT_GE(at, 0);
    ASSERT_LE(at + 20, static_cast<int64_t>(b.size()));
    std::memcpy(&b[static_cast<size_t>(at)], signature, 20);
}

// One section that moves every address by the same distance (file offset = address - 0xA00).
constexpr uint32_t kShift = 0xA00;
std::vector<uint8_t> ShiftedImage(size_t size, uint32_t entryFile) {
    SampleLayout layout;
    layout.entryPoint = entryFile + kShift;
    layout.sections = {{0x1000, 0x1000000, 0x600, static_cast<uint32_t>(size - 0x600)}};
    return BuildPeImage(size, layout);
}

// An image without sections: every address is its own file position.
std::vector<uint8_t> FlatImage(size_t size, uint32_t entryPoint, uint32_t sizeOfHeaders = 0x600) {
    SampleLayout layout;
    layout.entryPoint = entryPoint;
    layout.sizeOfHeaders = sizeOfHeaders;
    return BuildPeImage(size, layout);
}

// Two rows of one size, the earlier reaching further back than the later (by more than 2 KB).
bool SameSizePair(int* earlier, int* later) {
    for (int a = 0; a < kSignatureCount; ++a)
        for (int b = a + 1; b < kSignatureCount; ++b) {
            const SignatureRecord &ra = SignatureTable[a], &rb = SignatureTable[b];
            if (ra.fileSize == rb.fileSize && ra.offset1 < rb.offset1 - 2048) {
                *earlier = a;
                *later = b;
                return true;
            }
        }
    return false;
}

}  // namespace

TEST(FileMatching, EveryRecordIsFoundInItsOwnSampleInBothLayouts) {
    for (int i = 0; i < kSignatureCount; ++i) {
        for (bool uniform : {false, true}) {
            const std::vector<uint8_t> sample = BuildMatchingSample(SignatureTable[i], uniform);
            ASSERT_EQ(sample.size(), static_cast<size_t>(SignatureTable[i].fileSize)) << i;
            EXPECT_EQ(Check(sample), i) << "record " << i << (uniform ? " uniform" : " scattered");
        }
    }
}

TEST(FileMatching, TextAndTinyFilesAreNotExecutables) {
    std::string text;
    while (text.size() < 16304) text += "Dear friend, this is just a text file.\r\n";
    text.resize(16304);  // the size of a table row, so only the missing headers turn it away
    EXPECT_EQ(Check(std::vector<uint8_t>(text.begin(), text.end())), -2);

    std::vector<uint8_t> tiny = BuildMatchingSample(SignatureTable[32]);
    tiny.resize(61);
    EXPECT_EQ(Check(tiny), -2);
    EXPECT_EQ(Check({}), -2);
}

TEST(FileMatching, NearMissesOfEveryRecordAreNotFound) {
    const NearMiss kinds[] = {NearMiss::SizePlusOne,       NearMiss::SizeMinusOne,
                              NearMiss::ProbeByteFlipped,  NearMiss::BrokenPe,
                              NearMiss::TwentyOneSections, NearMiss::HeaderOffsetAbove64K};
    int aboveBuilt = 0;
    for (int i = 0; i < kSignatureCount; ++i) {
        for (NearMiss kind : kinds) {
            const std::vector<uint8_t> b = BuildNearMiss(SignatureTable[i], kind);
            if (kind == NearMiss::HeaderOffsetAbove64K && b.empty()) continue;
            ASSERT_FALSE(b.empty()) << i << " " << NearMissName(kind);
            aboveBuilt += kind == NearMiss::HeaderOffsetAbove64K;
            const bool headersGone = kind == NearMiss::BrokenPe || kind == NearMiss::TwentyOneSections ||
                                     kind == NearMiss::HeaderOffsetAbove64K;
            EXPECT_EQ(Check(b), headersGone ? -2 : -1) << i << " " << NearMissName(kind);
        }
    }
    EXPECT_GT(aboveBuilt, 10);
}

TEST(FileMatching, TwentyOneSectionsLoseAFileWhoseBytesMatch) {
    std::vector<uint8_t> b = BuildNearMiss(SignatureTable[69], NearMiss::TwentyOneSections);
    EXPECT_EQ(Check(b), -2);
    PutU16(b, kH + 6, 20);
    EXPECT_EQ(Check(b), 69);
}

TEST(FileMatching, HeaderOffsetIsTakenFromItsLowSixteenBits) {
    std::vector<uint8_t> b = BuildMatchingSample(SignatureTable[0]);
    PutU32(b, 60, 0x00030000 + kH);  // the real headers are at the low half
    EXPECT_EQ(Check(b), 0);

    const std::vector<uint8_t> moved = BuildNearMiss(SignatureTable[0], NearMiss::HeaderOffsetAbove64K);
    ASSERT_FALSE(moved.empty());
    const uint32_t full = GetU32(moved, 60);
    EXPECT_GT(full, 0xFFFFu);
    EXPECT_EQ(GetU32(moved, full), 0x00004550u);  // a loader would find them
    EXPECT_EQ(Check(moved), -2);
}

TEST(FileMatching, EveryComparedByteCountsAndTheTwentyFirstDoesNot) {
    const SignatureRecord& r = SignatureTable[32];
    const std::vector<uint8_t> good = BuildMatchingSample(r, true);
    ASSERT_EQ(Check(good), 32);
    MemorySource source(good.data(), good.size());
    PeHeaders h;
    ASSERT_TRUE(ReadPeHeaders(source, &h));
    for (int32_t offset : {r.offset1, r.offset2}) {
        const uint32_t at = RvaToFilePosition(h, h.addressOfEntryPoint + static_cast<uint32_t>(offset), r.fileSize);
        for (uint32_t k = 0; k < 20; ++k) {
            std::vector<uint8_t> b = good;
            b[at + k] ^= 0x40;
            EXPECT_EQ(Check(b), -1) << offset << "+" << k;
        }
        std::vector<uint8_t> b = good;
        b[at + 20] ^= 0x40;
        EXPECT_EQ(Check(b), 32) << offset;
    }
}

TEST(FileMatching, OfTwoMatchingRecordsTheFirstInTableOrderWins) {
    int a = -1, b = -1;
    ASSERT_TRUE(SameSizePair(&a, &b));
    const SignatureRecord &ra = SignatureTable[a], &rb = SignatureTable[b];
    const int64_t entryFile = 0x700 - static_cast<int64_t>(ra.offset1);
    std::vector<uint8_t> file = ShiftedImage(static_cast<size_t>(ra.fileSize), static_cast<uint32_t>(entryFile));
    Put(file, entryFile + ra.offset1, ra.signature1);
    Put(file, entryFile + ra.offset2, ra.signature2);
    Put(file, entryFile + rb.offset1, rb.signature1);
    Put(file, entryFile + rb.offset2, rb.signature2);
    EXPECT_EQ(Check(file), a);
    file[static_cast<size_t>(entryFile + ra.offset2)] ^= 1;
    EXPECT_EQ(Check(file), b);
}

TEST(FileMatching, ProbeAddressWrappingBelowZeroIsConvertedLikeAnyOther) {
    const SignatureRecord& r = SignatureTable[69];
    const uint32_t entry = 0x1000;  // smaller than the first offset's magnitude
    const uint32_t wrapped = entry + static_cast<uint32_t>(r.offset1);
    ASSERT_GT(wrapped, 0x80000000u);
    SampleLayout layout;
    layout.entryPoint = entry;
    layout.sections = {{wrapped, 0xFFFFFFFFu - wrapped, 0x800, static_cast<uint32_t>(r.fileSize - 0x800)}};
    std::vector<uint8_t> file = BuildPeImage(static_cast<size_t>(r.fileSize), layout);
    Put(file, 0x800, r.signature1);
    Put(file, 0x800 + (r.offset2 - r.offset1), r.signature2);
    EXPECT_EQ(Check(file), 69);
}

TEST(FileMatching, UnseekablePositionRejectsOnlyItsRecord) {
    int a = -1, b = -1;
    ASSERT_TRUE(SameSizePair(&a, &b));
    const SignatureRecord &ra = SignatureTable[a], &rb = SignatureTable[b];
    // No sections: positions are the addresses. The earlier row's first probe wraps below zero,
    // to a position of 2^31 or more; its second probe and both of the later row's are in the file.
    const uint32_t entry = 0x800 - static_cast<uint32_t>(rb.offset1);
    ASSERT_GE(entry + static_cast<uint32_t>(ra.offset1), 0x80000000u);
    std::vector<uint8_t> file = FlatImage(static_cast<size_t>(ra.fileSize), entry);
    Put(file, int64_t{entry} + ra.offset2, ra.signature2);
    Put(file, int64_t{entry} + rb.offset1, rb.signature1);
    Put(file, int64_t{entry} + rb.offset2, rb.signature2);
    EXPECT_EQ(Check(file), b);

    // Even a source that could deliver the signature up there is never asked for it.
    class HugeSource final : public ByteSource {
    public:
        HugeSource(const std::vector<uint8_t>& low, const uint8_t* high) : low_(low.data(), low.size()), high_(high) {}
        bool ReadAt(uint64_t offset, void* out, size_t length) override {
            if (offset < 0x80000000u) return low_.ReadAt(offset, out, length);
            std::memcpy(out, high_, length < 20 ? length : 20);
            return length <= 20;
        }

    private:
        MemorySource low_;
        const uint8_t* high_;
    } source(file, ra.signature1);
    PeHeaders headers;
    ASSERT_TRUE(ReadPeHeaders(source, &headers));
    EXPECT_EQ(FindMatchingRecord(source, headers, ra.fileSize), b);
}

TEST(FileMatching, ShortReadRejectsOnlyItsRecord) {
    SignatureRecord table[3] = {};
    for (SignatureRecord& r : table) {
        std::strcpy(r.name, "W32/Vorlex.Ih.Worm");
        r.fileSize = 0x3000;
        r.sizeRule = 1;
        r.offset2 = 0x10;
        for (int k = 0; k < 20; ++k) r.signature1[k] = r.signature2[k] = static_cast<uint8_t>(0x90 + k);
    }
    table[0].offset1 = 0x3000 - 0x1000 - 10;  // 10 bytes before the end: the read falls short
    table[1].offset1 = -0x200;
    table[2].name[0] = '\0';
    std::vector<uint8_t> file = FlatImage(0x3000, 0x1000);
    std::memcpy(&file[0x3000 - 10], table[0].signature1, 10);  // what there is of it agrees
    Put(file, 0x1000 - 0x200, table[1].signature1);
    Put(file, 0x1010, table[1].signature2);
    MemorySource source(file.data(), file.size());
    PeHeaders h;
    ASSERT_TRUE(ReadPeHeaders(source, &h));
    EXPECT_EQ(FindMatchingRecordIn(table, 3, source, h, 0x3000), 1);
    // The walk ends at the empty name even when the count says more.
    table[1].name[0] = '\0';
    EXPECT_EQ(FindMatchingRecordIn(table, 3, source, h, 0x3000), -1);
}

TEST(FileMatching, PositionZeroIsReadAtSizeOfHeaders) {
    const SignatureRecord& r = SignatureTable[69];
    const uint32_t entry = static_cast<uint32_t>(-r.offset1);  // first probe address exactly 0
    std::vector<uint8_t> file = FlatImage(static_cast<size_t>(r.fileSize), entry, 0x300);
    Put(file, 0x300, r.signature1);
    Put(file, int64_t{entry} + r.offset2, r.signature2);
    EXPECT_EQ(Check(file), 69);
}

TEST(FileMatching, PositionPastTheEndIsReadAtTheAddress) {
    const SignatureRecord& r = SignatureTable[0];
    const uint32_t entry = 0x800 - static_cast<uint32_t>(r.offset1);
    SampleLayout layout;
    layout.entryPoint = entry;
    layout.sections = {{0, 0xFFFFFFF0u, 0x10000000, 0x1000}};  // maps everything past the end
    std::vector<uint8_t> file = BuildPeImage(static_cast<size_t>(r.fileSize), layout);
    Put(file, 0x800, r.signature1);
    Put(file, int64_t{entry} + r.offset2, r.signature2);
    EXPECT_EQ(Check(file), 0);
}
