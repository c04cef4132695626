// The sample builder: layouts, near misses and the runnable 64- and 32-bit patches, judged by the real matcher.
#include "support/sample_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/pe_image.h"
#include "core/signature_match.h"
#include "support/le_bytes.h"

namespace {

constexpr size_t kH = 0x100;  // header offset of the fake 64-bit program

int Check(const std::vector<uint8_t>& bytes) {
    MemorySource source(bytes.data(), bytes.size());
    PeHeaders headers;
    if (!ReadPeHeaders(source, &headers)) return -2;
    return FindMatchingRecord(source, headers, static_cast<int32_t>(bytes.size()));
}

// Entry point's file offset found the way a loader does: the section holding the address.
int64_t EntryFileOffset(const std::vector<uint8_t>& b) {
    const size_t h = GetU32(b, 60);
    const uint32_t entry = GetU32(b, h + 24 + 16);
    for (size_t i = 0; i < GetU16(b, h + 6); ++i) {
        const size_t e = h + 248 + i * 40;
        const uint32_t va = GetU32(b, e + 12), vs = GetU32(b, e + 8);
        if (entry >= va && entry - va < vs) return int64_t{entry} - va + GetU32(b, e + 20);
    }
    return -1;
}

bool SignatureAt(const std::vector<uint8_t>& b, int64_t at, const uint8_t* signature) {
    return at >= 0 && at + 20 <= static_cast<int64_t>(b.size()) && std::memcmp(&b[at], signature, 20) == 0;
}

// Shape of a MinGW x86_64 program: PE32+, 240-byte optional header, sections at H + 264, some code.
std::vector<uint8_t> FakeProgram(size_t size, uint32_t entry, int sections) {
    std::vector<uint8_t> b(size, 0);
    b[0] = 'M';
    b[1] = 'Z';
    PutU32(b, 60, kH);
    PutU32(b, kH, 0x00004550);
    PutU16(b, kH + 4, 0x8664);
    PutU16(b, kH + 6, static_cast<uint16_t>(sections));
    PutU16(b, kH + 20, 240);
    const size_t o = kH + 24;
    PutU16(b, o, 0x020B);
    PutU32(b, o + 16, entry);
    PutU32(b, o + 60, 0x400);
    PutU32(b, o + 108, 16);
    PutU32(b, o + 112 + 8, 0x5000);  // import directory, to show the directories survive
    PutU32(b, o + 112 + 12, 0x80);
    const char* names[] = {".text", ".data", ".rdata", ".pdata", ".xdata", ".bss", ".idata", ".CRT", ".tls"};
    for (int i = 0; i < sections; ++i) {
        const size_t e = kH + 264 + i * 40;
        std::memcpy(&b[e], names[i % 9], std::strlen(names[i % 9]));
        PutU32(b, e + 8, 0x1000);
        PutU32(b, e + 12, 0x1000 * (i + 1));
        PutU32(b, e + 16, 0x200);
        PutU32(b, e + 20, 0x400 + 0x200 * i);
    }
    for (size_t k = 0x400; k < size; ++k) b[k] = static_cast<uint8_t>(k * 7 + 3);
    return b;
}

// Shape of a MinGW i686 program: PE32 headers at 0x80, three sections, the entry point in the first,
// a symbol table after the sections (bytes no section maps).
std::vector<uint8_t> FakePe32Program(size_t size) {
    SampleLayout layout;
    layout.entryPoint = 0x1234;
    layout.sizeOfHeaders = 0x400;
    layout.sections = {{0x1000, 0x300, 0x400, 0x200}, {0x2000, 0x80, 0x600, 0x200}, {0x3000, 0x100, 0x800, 0x200}};
    std::vector<uint8_t> b = BuildPeImage(size, layout);
    for (size_t k = 0x400; k < size; ++k) b[k] = static_cast<uint8_t>(k * 5 + 1);
    return b;
}

constexpr size_t kPe32Table = kSampleHeaderOffset + 248;

// True when the record's second probe would cover the jump at the added entry point.
bool CoversTheJump(const SignatureRecord& r) { return r.offset2 < 5 && r.offset2 + 20 > 0; }

}  // namespace

TEST(SampleBuilding, MatchingSamplesAreWellFormedExecutablesOfTheExactSize) {
    for (int i = 0; i < kSignatureCount; ++i) {
        for (bool uniform : {false, true}) {
            const std::vector<uint8_t> b = BuildMatchingSample(SignatureTable[i], uniform);
            ASSERT_EQ(b.size(), static_cast<size_t>(SignatureTable[i].fileSize));
            EXPECT_EQ(b[0], 'M');
            EXPECT_EQ(b[1], 'Z');
            EXPECT_EQ(GetU32(b, 60), kSampleHeaderOffset);
            EXPECT_EQ(GetU32(b, kSampleHeaderOffset), 0x00004550u);
            EXPECT_GE(EntryFileOffset(b), 0) << i;  // the entry point lies in a section
        }
    }
}

TEST(SampleBuilding, UniformSamplesKeepProbesAtEntryFileOffsetPlusOffset) {
    for (int i = 0; i < kSignatureCount; ++i) {
        const SignatureRecord& r = SignatureTable[i];
        const std::vector<uint8_t> uniform = BuildMatchingSample(r, true);
        const size_t h = kSampleHeaderOffset;
        const uint16_t n = GetU16(uniform, h + 6);
        for (size_t s = 1; s < n; ++s) {
            EXPECT_EQ(GetU32(uniform, h + 248 + s * 40 + 12) - GetU32(uniform, h + 248 + s * 40 + 20),
                      GetU32(uniform, h + 248 + 12) - GetU32(uniform, h + 248 + 20));
        }
        const int64_t ep = EntryFileOffset(uniform);
        EXPECT_TRUE(SignatureAt(uniform, ep + r.offset1, r.signature1)) << i;
        EXPECT_TRUE(SignatureAt(uniform, ep + r.offset2, r.signature2)) << i;

        // The default layout does not: a reader that ignores the sections misses its first probe.
        const std::vector<uint8_t> scattered = BuildMatchingSample(r);
        EXPECT_FALSE(SignatureAt(scattered, EntryFileOffset(scattered) + r.offset1, r.signature1)) << i;
    }
}

TEST(SampleBuilding, NearMissesDifferInTheirOneRespect) {
    const SignatureRecord& r = SignatureTable[50];
    const std::vector<uint8_t> good = BuildMatchingSample(r);
    EXPECT_EQ(BuildNearMiss(r, NearMiss::SizePlusOne).size(), good.size() + 1);
    EXPECT_EQ(BuildNearMiss(r, NearMiss::SizeMinusOne).size(), good.size() - 1);
    for (NearMiss kind : {NearMiss::ProbeByteFlipped, NearMiss::BrokenPe, NearMiss::TwentyOneSections}) {
        const std::vector<uint8_t> b = BuildNearMiss(r, kind);
        ASSERT_EQ(b.size(), good.size());
        size_t differing = 0;
        for (size_t k = 0; k < b.size(); ++k) differing += b[k] != good[k];
        EXPECT_EQ(differing, 1u) << NearMissName(kind);
    }
    // Headers above 64 KB need a file larger than that.
    EXPECT_TRUE(BuildNearMiss(SignatureTable[32], NearMiss::HeaderOffsetAbove64K).empty());
    EXPECT_FALSE(BuildNearMiss(r, NearMiss::HeaderOffsetAbove64K).empty());
}

TEST(SampleBuilding, NearMissNamesRoundTrip) {
    for (NearMiss kind : {NearMiss::SizePlusOne, NearMiss::SizeMinusOne, NearMiss::ProbeByteFlipped,
                          NearMiss::BrokenPe, NearMiss::TwentyOneSections, NearMiss::HeaderOffsetAbove64K}) {
        NearMiss back = NearMiss::SizePlusOne;
        ASSERT_TRUE(ParseNearMiss(NearMissName(kind), &back));
        EXPECT_EQ(back, kind);
    }
    NearMiss unused;
    EXPECT_FALSE(ParseNearMiss("sizeplusone", &unused));
}

TEST(RunnableSample, PatchedProgramMatchesAndKeepsItsRealHeaders) {
    const std::vector<uint8_t> program = FakeProgram(300000, 0x14F0, 9);
    const int index = PickRecordForRunnable(program);
    ASSERT_GE(index, 0);
    const SignatureRecord& r = SignatureTable[index];
    std::vector<uint8_t> b = program;
    ASSERT_TRUE(MakeRunnableSample(b, r));
    ASSERT_EQ(b.size(), static_cast<size_t>(r.fileSize));
    EXPECT_EQ(Check(b), index);

    EXPECT_EQ(GetU16(b, kH + 24), 0x020B);
    EXPECT_EQ(GetU32(b, kH + 24 + 16), 0x14F0u);
    // Only directory 15 (H+256..263) and the first section's name bytes 4..7 (H+268..271) change.
    for (size_t k = 0; k < program.size(); ++k) {
        const bool mayChange = (k >= kH + 256 && k < kH + 264) || (k >= kH + 268 && k < kH + 272);
        if (!mayChange) {
            ASSERT_EQ(b[k], program[k]) << k;
        }
    }
    EXPECT_EQ(std::memcmp(&b[kH + 264], ".tex", 4), 0);
    // The appended bytes are zero apart from the two signatures.
    size_t nonZero = 0;
    for (size_t k = program.size(); k < b.size(); ++k) nonZero += b[k] != 0;
    EXPECT_LE(nonZero, 40u);
    EXPECT_GT(nonZero, 30u);
}

TEST(RunnableSample, EveryRecordFitsATwoKilobyteProgram) {
    const std::vector<uint8_t> program = FakeProgram(2048, 0x2000, 3);
    for (int i = 0; i < kSignatureCount; ++i) {
        std::vector<uint8_t> b = program;
        ASSERT_TRUE(MakeRunnableSample(b, SignatureTable[i])) << i;
        EXPECT_EQ(Check(b), i);
    }
}

TEST(RunnableSample, RefusesWhatItCannotPatchAndLeavesItUntouched) {
    const SignatureRecord& big = SignatureTable[50];
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"32-bit magic in a 64-bit header", FakeProgram(20000, 0x2000, 3)});
    PutU16(cases.back().bytes, kH + 24, 0x010B);
    cases.push_back({"directory 15 in use", FakeProgram(20000, 0x2000, 3)});
    PutU32(cases.back().bytes, kH + 256, 1);
    cases.push_back({"21 sections", FakeProgram(20000, 0x2000, 21)});
    cases.push_back({"header offset above 64 KB", FakeProgram(20000, 0x2000, 3)});
    PutU32(cases.back().bytes, 60, 0x10000 + kH);
    cases.push_back({"no PE signature", FakeProgram(20000, 0x2000, 3)});
    cases.back().bytes[kH + 1] = 'X';
    cases.push_back({"truncated", FakeProgram(20000, 0x2000, 3)});
    cases.back().bytes.resize(kH + 100);
    for (Case& c : cases) {
        const std::vector<uint8_t> before = c.bytes;
        EXPECT_FALSE(MakeRunnableSample(c.bytes, big)) << c.what;
        EXPECT_EQ(c.bytes, before) << c.what;
    }
    std::vector<uint8_t> tooLarge = FakeProgram(20000, 0x2000, 3);
    EXPECT_FALSE(MakeRunnableSample(tooLarge, SignatureTable[32]));  // 16304 bytes leave no room
}

TEST(RunnableSample, PicksTheSmallestRecordWithRoomForBothProgramShapes) {
    std::vector<std::vector<uint8_t>> programs;
    for (size_t size : {size_t{1000}, size_t{150000}, size_t{900000}, size_t{3000000}})
        programs.push_back(FakeProgram(size, 0x1000, 2));
    for (size_t size : {size_t{0xA00}, size_t{100000}, size_t{2000000}}) programs.push_back(FakePe32Program(size));
    for (const std::vector<uint8_t>& program : programs) {
        const int index = PickRecordForRunnable(program);
        ASSERT_GE(index, 0) << program.size();
        std::vector<uint8_t> b = program;
        EXPECT_TRUE(MakeRunnableSample(b, SignatureTable[index])) << program.size();
        for (int i = 0; i < kSignatureCount; ++i) {
            if (SignatureTable[i].fileSize >= SignatureTable[index].fileSize) continue;
            b = program;
            EXPECT_FALSE(MakeRunnableSample(b, SignatureTable[i])) << program.size() << " " << i;
        }
    }
    EXPECT_EQ(PickRecordForRunnable(FakeProgram(4227072, 0x1000, 2)), -1);
}

TEST(RunnablePe32Sample, AddedSectionHoldsBothProbesAndJumpsToTheProgramsEntryPoint) {
    const std::vector<uint8_t> program = FakePe32Program(0xA00 + 777);
    const int index = PickRecordForRunnable(program);
    ASSERT_GE(index, 0);
    const SignatureRecord& r = SignatureTable[index];
    std::vector<uint8_t> b = program;
    ASSERT_TRUE(MakeRunnableSample(b, r));
    ASSERT_EQ(b.size(), static_cast<size_t>(r.fileSize));
    EXPECT_EQ(Check(b), index);

    // One code section more, after the image, its data after the program's bytes.
    const size_t h = kSampleHeaderOffset, o = h + 24, e = kPe32Table + 3 * 40;
    EXPECT_EQ(GetU16(b, h + 6), 4);
    EXPECT_EQ(std::memcmp(&b[e], ".sample\0", 8), 0);
    const uint32_t va = GetU32(b, e + 12), vsize = GetU32(b, e + 8), raw = GetU32(b, e + 20);
    EXPECT_EQ(va, 0x4000u);
    EXPECT_EQ(raw, 0xE00u);
    EXPECT_EQ(GetU32(b, e + 16) % 0x200, 0u);
    EXPECT_LE(raw + GetU32(b, e + 16), b.size());
    EXPECT_EQ(GetU32(b, e + 36), 0x60000020u);
    EXPECT_EQ(GetU32(b, o + 56), (va + vsize + 0xFFF) & ~0xFFFu);
    // The new entry point lies in it, and its jump lands on the program's own entry point.
    const uint32_t entry = GetU32(b, o + 16);
    ASSERT_GE(entry, va);
    ASSERT_LT(entry - va + 5, vsize);
    const size_t at = raw + (entry - va);
    EXPECT_EQ(b[at], 0xE9);
    EXPECT_EQ(entry + 5 + GetU32(b, at + 1), 0x1234u);
    // A loader's view of the probes agrees with the checker's.
    EXPECT_TRUE(SignatureAt(b, EntryFileOffset(b) + r.offset1, r.signature1));
    EXPECT_TRUE(SignatureAt(b, EntryFileOffset(b) + r.offset2, r.signature2));
    // The program's own bytes are as they were, but for the section count, entry point, image size
    // and the new table entry.
    for (size_t k = 0; k < program.size(); ++k) {
        const bool mayChange = (k >= h + 6 && k < h + 8) || (k >= o + 16 && k < o + 20) || (k >= o + 56 && k < o + 60) ||
                               (k >= e && k < e + 40);
        if (!mayChange) {
            ASSERT_EQ(b[k], program[k]) << k;
        }
    }
}

TEST(RunnablePe32Sample, EveryRecordFitsButThoseWhoseProbeWouldCoverTheJump) {
    const std::vector<uint8_t> program = FakePe32Program(0xA00);
    for (int i = 0; i < kSignatureCount; ++i) {
        std::vector<uint8_t> b = program;
        const bool made = MakeRunnableSample(b, SignatureTable[i]);
        EXPECT_EQ(made, !CoversTheJump(SignatureTable[i])) << i;
        if (made) {
            EXPECT_EQ(Check(b), i);
        } else {
            EXPECT_EQ(b, program) << i;
        }
    }
}

TEST(RunnablePe32Sample, RefusesProgramsWithoutRoomForASectionAndLeavesThemUntouched) {
    const SignatureRecord& big = SignatureTable[50];
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"headers end at the table", FakePe32Program(0xA00)});
    PutU32(cases.back().bytes, kSampleHeaderOffset + 24 + 60, kPe32Table + 3 * 40 + 39);
    cases.push_back({"section data right after the table", FakePe32Program(0xA00)});
    PutU32(cases.back().bytes, kPe32Table + 20, kPe32Table + 3 * 40 + 20);
    cases.push_back({"bytes in the free slot", FakePe32Program(0xA00)});
    cases.back().bytes[kPe32Table + 3 * 40 + 17] = 1;
    cases.push_back({"twenty sections", FakePe32Program(0xA00)});
    PutU16(cases.back().bytes, kSampleHeaderOffset + 6, 20);
    cases.push_back({"file alignment not a power of two", FakePe32Program(0xA00)});
    PutU32(cases.back().bytes, kSampleHeaderOffset + 24 + 36, 0x300);
    cases.push_back({"64-bit magic in a 32-bit header", FakePe32Program(0xA00)});
    PutU16(cases.back().bytes, kSampleHeaderOffset + 24, 0x020B);
    for (Case& c : cases) {
        const std::vector<uint8_t> before = c.bytes;
        EXPECT_FALSE(MakeRunnableSample(c.bytes, big)) << c.what;
        EXPECT_EQ(c.bytes, before) << c.what;
        EXPECT_EQ(PickRecordForRunnable(c.bytes), -1) << c.what;
    }
}
