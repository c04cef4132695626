// The built-in signature table: stored layout, the rows we hold samples of, and the table's shape.
#include "core/signature_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/size_gate.h"

namespace {

const char kWorm[] = "W32/Vorlex.Ih.Worm";
const char kDropper[] = "W32/Vorlex.Bj.Dl.Trojan";

const uint8_t* RecordBytes(int index) {
    return reinterpret_cast<const uint8_t*>(&SignatureTable[index]);
}

int32_t StoredI32(int index, size_t at) {
    const uint8_t* p = RecordBytes(index) + at;
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

std::vector<uint8_t> Hex(const char* hex) {
    std::vector<uint8_t> out;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) out.push_back(static_cast<uint8_t>(std::stoi(std::string(hex + i, 2), nullptr, 16)));
    return out;
}

void PutLe(std::vector<uint8_t>& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

// The 108 bytes a record must have, built field by field at the documented offsets.
std::vector<uint8_t> ExpectedRecord(const char* name, int32_t offset1, const char* sig1, int32_t offset2,
                                    const char* sig2, int32_t size) {
    std::vector<uint8_t> b(108, 0);
    std::memcpy(b.data(), name, std::strlen(name));
    PutLe(b, 50, offset1);
    const std::vector<uint8_t> s1 = Hex(sig1), s2 = Hex(sig2);
    std::memcpy(&b[54], s1.data(), 20);
    PutLe(b, 75, offset2);
    std::memcpy(&b[79], s2.data(), 20);
    PutLe(b, 100, size);
    PutLe(b, 104, 1);
    return b;
}

}  // namespace

TEST(SignatureTableLayout, RecordsAre108PackedBytesWithFieldsAtFixedOffsets) {
    EXPECT_EQ(sizeof(SignatureRecord), 108u);
    EXPECT_EQ(sizeof(SignatureTable), 71u * 108u);
    EXPECT_EQ(offsetof(SignatureRecord, name), 0u);
    EXPECT_EQ(offsetof(SignatureRecord, offset1), 50u);
    EXPECT_EQ(offsetof(SignatureRecord, signature1), 54u);
    EXPECT_EQ(offsetof(SignatureRecord, offset2), 75u);
    EXPECT_EQ(offsetof(SignatureRecord, signature2), 79u);
    EXPECT_EQ(offsetof(SignatureRecord, fileSize), 100u);
    EXPECT_EQ(offsetof(SignatureRecord, sizeRule), 104u);
    // Stored little-endian where the fields are documented, for every row.
    for (int i = 0; i < kSignatureCount; ++i) {
        // Fields are copied out first: packed members cannot bind to references.
        const int32_t offset1 = SignatureTable[i].offset1, offset2 = SignatureTable[i].offset2;
        const int32_t size = SignatureTable[i].fileSize;
        EXPECT_EQ(StoredI32(i, 50), offset1) << i;
        EXPECT_EQ(StoredI32(i, 75), offset2) << i;
        EXPECT_EQ(StoredI32(i, 100), size) << i;
        EXPECT_EQ(StoredI32(i, 104), 1) << i;
    }
}

TEST(SignatureTableLayout, TellingRowsAreByteExact) {
    struct Row {
        int index;
        std::vector<uint8_t> bytes;
    };
    const Row rows[] = {
        {0, ExpectedRecord(kWorm, -77446, "3a010f8ef40c0ea3412b27bfad8a8dfe6514fe51", 137,
                           "8b1e83eefc11db11c901db73ef75098b1e83eefc", 157951)},
        {18, ExpectedRecord(kWorm, -11864, "ff8fb0ff35ac5100105933d98d9c1b8f8eb23bff", -164,
                            "0e3905b85301107e2eff0db85301108b0d804000", 170505)},
        {32, ExpectedRecord(kDropper, -12559, "acdf6da8e9f71100000fafd18a0db4510110d3ea", 138,
                            "08575653ffd089450c8b450c5f5e5b5dc20c00ff", 16304)},
        {50, ExpectedRecord(kWorm, -77387, "2df0b6b961b1595bc82e7db859df872cc82b960b", 301,
                            "900100958a074708c074dc89f979070fb7074750", 4227072)},
        {69, ExpectedRecord(kWorm, -11352, "10ff25e861011001f85051ff153c400010ff354c", 146,
                            "0c8b450c5f5e5b5dc20c00ff2584400010ff25c8", 32777)},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(std::vector<uint8_t>(RecordBytes(row.index), RecordBytes(row.index) + 108), row.bytes)
            << "row " << row.index;
    }
}

TEST(SignatureTableShape, SeventyNamedRecordsThenAnAllZeroEndMarker) {
    for (int i = 0; i < kSignatureCount; ++i) {
        const SignatureRecord& r = SignatureTable[i];
        EXPECT_STREQ(r.name, i == 32 ? kDropper : kWorm) << i;
        // Name NUL-terminated with the rest of the field zero; 21st byte of each signature zero.
        const size_t len = std::strlen(r.name);
        for (size_t k = len; k < sizeof r.name; ++k) EXPECT_EQ(r.name[k], '\0') << i;
        EXPECT_EQ(r.signature1[20], 0) << i;
        EXPECT_EQ(r.signature2[20], 0) << i;
        EXPECT_EQ(int32_t{r.sizeRule}, 1) << i;
    }
    const uint8_t* end = RecordBytes(kSignatureCount);
    for (size_t k = 0; k < 108; ++k) EXPECT_EQ(end[k], 0) << k;
}

TEST(SignatureTableShape, FieldsStayInRangeAndReachBothEnds) {
    int32_t minSize = INT32_MAX, maxSize = INT32_MIN, min1 = INT32_MAX, max1 = INT32_MIN, min2 = INT32_MAX,
            max2 = INT32_MIN;
    for (int i = 0; i < kSignatureCount; ++i) {
        const int32_t size = SignatureTable[i].fileSize, o1 = SignatureTable[i].offset1, o2 = SignatureTable[i].offset2;
        minSize = std::min(minSize, size);
        maxSize = std::max(maxSize, size);
        min1 = std::min(min1, o1);
        max1 = std::max(max1, o1);
        min2 = std::min(min2, o2);
        max2 = std::max(max2, o2);
    }
    EXPECT_EQ(minSize, 16304);
    EXPECT_EQ(maxSize, 4227072);
    EXPECT_EQ(min1, -87998);
    EXPECT_EQ(max1, -11352);
    EXPECT_EQ(min2, -164);
    EXPECT_EQ(max2, 445);
}

TEST(SignatureTableShape, OnlyTheKnownSizesRepeatAndTheirVariantsDiffer) {
    std::map<int32_t, std::vector<int>> bySize;
    for (int i = 0; i < kSignatureCount; ++i) bySize[int32_t{SignatureTable[i].fileSize}].push_back(i);
    const std::map<int32_t, size_t> repeated = {{162060, 4}, {87600, 2}, {157680, 2}, {159140, 2}, {168509, 2}};
    for (const auto& [size, rows] : bySize) {
        const auto it = repeated.find(size);
        EXPECT_EQ(rows.size(), it == repeated.end() ? 1u : it->second) << size;
    }
    for (const auto& [size, count] : repeated) EXPECT_EQ(bySize[size].size(), count) << size;

    std::set<std::vector<uint8_t>> signatures;
    for (int i = 0; i < kSignatureCount; ++i) {
        const SignatureRecord& r = SignatureTable[i];
        signatures.insert(std::vector<uint8_t>(r.signature1, r.signature1 + 20));
        signatures.insert(std::vector<uint8_t>(r.signature2, r.signature2 + 20));
    }
    EXPECT_EQ(signatures.size(), 2u * kSignatureCount);

    // Different sizes lie apart, so a sample one byte too long or short meets no other row.
    for (auto it = bySize.begin(); std::next(it) != bySize.end(); ++it) EXPECT_GT(std::next(it)->first - it->first, 1);
}

TEST(SizeRules, ExactNearAnyAndUnknownRules) {
    SignatureRecord r{};
    r.fileSize = 100000;
    r.sizeRule = 1;
    EXPECT_TRUE(SizeRuleAccepts(r, 100000));
    EXPECT_FALSE(SizeRuleAccepts(r, 100001));
    EXPECT_FALSE(SizeRuleAccepts(r, 99999));

    r.sizeRule = 2;
    EXPECT_TRUE(SizeRuleAccepts(r, 100000 - 4095));
    EXPECT_TRUE(SizeRuleAccepts(r, 100000 + 4095));
    EXPECT_FALSE(SizeRuleAccepts(r, 100000 - 4096));
    EXPECT_FALSE(SizeRuleAccepts(r, 100000 + 4096));
    // The difference wraps in 32 bits: far ends of the signed range are neighbours.
    r.fileSize = INT32_MIN + 10;
    EXPECT_TRUE(SizeRuleAccepts(r, INT32_MAX - 10));
    EXPECT_FALSE(SizeRuleAccepts(r, 0));

    r.sizeRule = 3;
    EXPECT_TRUE(SizeRuleAccepts(r, -1));
    EXPECT_TRUE(SizeRuleAccepts(r, 0));
    EXPECT_TRUE(SizeRuleAccepts(r, INT32_MAX));

    r.fileSize = 5;
    for (int32_t rule : {0, 4, -1, 100}) {
        r.sizeRule = rule;
        EXPECT_FALSE(SizeRuleAccepts(r, 5)) << rule;
    }
}

namespace {

// Lengths worth asking about for a table: each size and its near neighbours, band edges, extremes.
std::vector<int32_t> ProbeLengths(const SignatureRecord* table, int count) {
    std::vector<int32_t> lengths = {0, 1, -1, INT32_MIN, INT32_MAX, INT32_MIN + 1, INT32_MAX - 1};
    for (int i = 0; i < count; ++i) {
        const int64_t s = table[i].fileSize;
        for (int64_t d : {0, 1, -1, 2, -2, 4095, -4095, 4096, -4096, 4097, -4097}) {
            lengths.push_back(static_cast<int32_t>(static_cast<uint32_t>(s + d)));
        }
    }
    uint32_t x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1103515245u + 12345u;
        lengths.push_back(static_cast<int32_t>(x % 5000000u));
    }
    return lengths;
}

bool AnyByWalk(const SignatureRecord* table, int count, int32_t length) {
    for (int i = 0; i < count; ++i)
        if (SizeRuleAccepts(table[i], length)) return true;
    return false;
}

SignatureRecord Rule(int32_t size, int32_t rule) {
    SignatureRecord r{};
    r.name[0] = 'x';
    r.fileSize = size;
    r.sizeRule = rule;
    return r;
}

}  // namespace

TEST(SizeRules, TablePrecheckAnswersLikeWalkingEveryRecord) {
    int accepted = 0;
    for (int32_t length : ProbeLengths(SignatureTable, kSignatureCount)) {
        const bool walk = AnyByWalk(SignatureTable, kSignatureCount, length);
        ASSERT_EQ(AnyRecordAcceptsSize(length), walk) << length;
        accepted += walk;
    }
    EXPECT_GT(accepted, 0);
    for (int i = 0; i < kSignatureCount; ++i) EXPECT_TRUE(AnyRecordAcceptsSize(SignatureTable[i].fileSize)) << i;
}

TEST(SizeRules, PrecheckStaysExactWhenRulesAreMixed) {
    const SignatureRecord near[] = {Rule(500000, 1), Rule(70000, 2), Rule(16304, 1), Rule(INT32_MIN + 100, 2),
                                    Rule(900, 7), Rule(70000, 1), Rule(33, 0)};
    const SizeGate<7> nearGate(near);
    for (int32_t length : ProbeLengths(near, 7)) ASSERT_EQ(nearGate.Accepts(length), AnyByWalk(near, 7, length)) << length;
    EXPECT_FALSE(nearGate.Accepts(900));  // unknown rules never accept
    EXPECT_TRUE(nearGate.Accepts(INT32_MAX - 50));  // a band that wraps round

    const SignatureRecord any[] = {Rule(10, 1), Rule(20, 3)};
    const SizeGate<2> anyGate(any);
    for (int32_t length : ProbeLengths(any, 2)) ASSERT_TRUE(anyGate.Accepts(length)) << length;
}
