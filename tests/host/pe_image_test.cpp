// PE header reading and address conversion as the file checker sees a file.
#include "core/pe_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/le_bytes.h"
#include "support/sample_builder.h"

namespace {

constexpr size_t kH = kSampleHeaderOffset;

std::vector<uint8_t> ThreeSectionImage() {
    SampleLayout layout;
    layout.entryPoint = 0x2345;
    layout.sizeOfHeaders = 0x400;
    layout.sections = {{0x1000, 0x1000, 0x400, 0x1000}, {0x2000, 0x800, 0x1400, 0x800}, {0x3000, 0x200, 0x1C00, 0x200}};
    return BuildPeImage(0x2000, layout);
}

bool Read(const std::vector<uint8_t>& bytes, PeHeaders* headers) {
    MemorySource source(bytes.data(), bytes.size());
    return ReadPeHeaders(source, headers);
}

void SetSection(PeHeaders& h, int i, uint32_t virtualAddress, uint32_t virtualSize, uint32_t raw) {
    uint8_t* e = h.sectionTable + i * kSectionHeaderSize;
    for (int k = 0; k < 4; ++k) {
        e[8 + k] = static_cast<uint8_t>(virtualSize >> (8 * k));
        e[12 + k] = static_cast<uint8_t>(virtualAddress >> (8 * k));
        e[20 + k] = static_cast<uint8_t>(raw >> (8 * k));
    }
}

PeHeaders Headers(uint32_t sizeOfHeaders, int sections) {
    PeHeaders h{};
    h.sizeOfHeaders = sizeOfHeaders;
    h.numberOfSections = static_cast<uint16_t>(sections);
    return h;
}

}  // namespace

TEST(PeHeaderReading, DecodesTheFieldsTheCheckerUses) {
    PeHeaders h;
    ASSERT_TRUE(Read(ThreeSectionImage(), &h));
    EXPECT_EQ(h.headerOffset, kH);
    EXPECT_EQ(h.numberOfSections, 3);
    EXPECT_EQ(h.addressOfEntryPoint, 0x2345u);
    EXPECT_EQ(h.sizeOfHeaders, 0x400u);
    EXPECT_EQ(h.fileHeader[0], 0x4C);  // machine, right after the signature
    EXPECT_EQ(h.optionalHeader[0], 0x0B);
    const PeSection s = SectionAt(h, 1);
    EXPECT_EQ(s.virtualAddress, 0x2000u);
    EXPECT_EQ(s.virtualSize, 0x800u);
    EXPECT_EQ(s.pointerToRawData, 0x1400u);
    EXPECT_EQ(SectionAt(h, 3).virtualAddress, 0u);
}

TEST(PeHeaderReading, TakesOnlyTheLowHalfOfTheHeaderOffsetAndIgnoresMz) {
    std::vector<uint8_t> b = ThreeSectionImage();
    PutU32(b, 60, 0x00010000 + kH);
    b[0] = b[1] = 0;
    PeHeaders h;
    ASSERT_TRUE(Read(b, &h));
    EXPECT_EQ(h.headerOffset, kH);
    EXPECT_EQ(h.addressOfEntryPoint, 0x2345u);
}

TEST(PeHeaderReading, NeedsAllFourSignatureBytes) {
    for (size_t k = 0; k < 4; ++k) {
        std::vector<uint8_t> b = ThreeSectionImage();
        b[kH + k] ^= 0x01;
        PeHeaders h;
        EXPECT_FALSE(Read(b, &h)) << k;
    }
}

TEST(PeHeaderReading, FailsOnEveryShortRead) {
    const std::vector<uint8_t> full = ThreeSectionImage();
    PeHeaders h;
    // Below 62 bytes the header offset itself cannot be read.
    EXPECT_FALSE(Read(std::vector<uint8_t>(full.begin(), full.begin() + 61), &h));
    // Cut inside the signature, file header, optional-header prefix and section table.
    for (size_t cut : {kH + 3, kH + 23, kH + 24 + 95, kH + 248 + 3 * 40 - 1}) {
        EXPECT_FALSE(Read(std::vector<uint8_t>(full.begin(), full.begin() + cut), &h)) << cut;
    }
    EXPECT_TRUE(Read(std::vector<uint8_t>(full.begin(), full.begin() + kH + 248 + 3 * 40), &h));
}

TEST(PeHeaderReading, ZeroSectionsNeedNoTableEvenPastTheEnd) {
    SampleLayout layout;
    std::vector<uint8_t> b = BuildPeImage(0x400, layout);
    b.resize(kH + 24 + 96);  // ends where the 96-byte prefix does, well before H + 248
    PeHeaders h;
    EXPECT_TRUE(Read(b, &h));
    EXPECT_EQ(h.numberOfSections, 0);
}

TEST(PeHeaderReading, AcceptsTwentySectionsRefusesTwentyOne) {
    std::vector<uint8_t> b = ThreeSectionImage();
    PeHeaders h;
    PutU16(b, kH + 6, 20);
    EXPECT_TRUE(Read(b, &h));
    PutU16(b, kH + 6, 21);
    EXPECT_FALSE(Read(b, &h));
}

TEST(PeHeaderReading, TableIsAlwaysTakenAt248WhateverTheOptionalHeaderSize) {
    std::vector<uint8_t> b = ThreeSectionImage();
    PutU16(b, kH + 20, 0xF0);  // declares a 64-bit optional header
    PeHeaders h;
    ASSERT_TRUE(Read(b, &h));
    EXPECT_EQ(SectionAt(h, 0).virtualAddress, 0x1000u);
}

TEST(PeHeaderReading, StaleSectionsOfAnEarlierFileAreCleared) {
    PeHeaders h;
    std::memset(&h, 0xAB, sizeof h);
    std::vector<uint8_t> b = ThreeSectionImage();
    PutU16(b, kH + 6, 1);
    ASSERT_TRUE(Read(b, &h));
    for (int i = 1; i < kMaxSections; ++i) EXPECT_EQ(SectionAt(h, i).virtualAddress, 0u) << i;
}

TEST(AddressToFilePosition, WithoutSectionsTheAddressIsThePosition) {
    const PeHeaders h = Headers(0x400, 0);
    EXPECT_EQ(RvaToFilePosition(h, 0x1234, 0x5000), 0x1234u);
    EXPECT_EQ(RvaToFilePosition(h, 0x9000, 0x5000), 0x9000u);
    EXPECT_EQ(RvaToFilePosition(h, 0, 0x5000), 0x400u);
}

TEST(AddressToFilePosition, FirstSectionEndingPastTheAddressWinsWithoutLowerBound) {
    PeHeaders h = Headers(0x400, 2);
    SetSection(h, 0, 0x2000, 0x1000, 0x1400);
    SetSection(h, 1, 0x1000, 0x1000, 0x2000);
    // 0x1800 lies inside the second section, yet the first one ends past it and takes it.
    EXPECT_EQ(RvaToFilePosition(h, 0x1800, 0x5000), 0x1800u - 0x2000u + 0x1400u);
    EXPECT_EQ(RvaToFilePosition(h, 0x2800, 0x5000), 0x2800u - 0x2000u + 0x1400u);
}

TEST(AddressToFilePosition, NoSectionEndingPastTheAddressFallsToTheLast) {
    PeHeaders h = Headers(0x400, 3);
    SetSection(h, 0, 0x1000, 0x1000, 0x400);
    SetSection(h, 1, 0x2000, 0x1000, 0x1400);
    SetSection(h, 2, 0x3000, 0x1000, 0x2800);
    EXPECT_EQ(RvaToFilePosition(h, 0x4100, 0x5000), 0x4100u - 0x3000u + 0x2800u);
    // Entries beyond NumberOfSections are not consulted.
    SetSection(h, 3, 0x4000, 0x1000, 0x100);
    EXPECT_EQ(RvaToFilePosition(h, 0x4100, 0x5000), 0x4100u - 0x3000u + 0x2800u);
}

TEST(AddressToFilePosition, SectionEndWrapsInThirtyTwoBits) {
    PeHeaders h = Headers(0x400, 2);
    SetSection(h, 0, 0xFFFFF000, 0x2000, 0x600);  // ends at 0x1000 after wrapping
    SetSection(h, 1, 0x1000, 0x4000, 0x400);
    EXPECT_EQ(RvaToFilePosition(h, 0x800, 0x8000), 0x800u + 0x1000u + 0x600u);
    EXPECT_EQ(RvaToFilePosition(h, 0x1800, 0x8000), 0x1800u - 0x1000u + 0x400u);
}

TEST(AddressToFilePosition, PositionAtOrPastTheLengthFallsBackToTheAddress) {
    PeHeaders h = Headers(0x400, 1);
    SetSection(h, 0, 0x1000, 0x10000, 0x400);
    EXPECT_EQ(RvaToFilePosition(h, 0x4BFF, 0x4000), 0x3FFFu);
    EXPECT_EQ(RvaToFilePosition(h, 0x4C00, 0x4000), 0x4C00u);
    // A result that wraps below zero is a huge position, so the address is used as well.
    EXPECT_EQ(RvaToFilePosition(h, 0x10, 0x4000), 0x10u);
}

TEST(AddressToFilePosition, PositionZeroBecomesSizeOfHeaders) {
    PeHeaders h = Headers(0x380, 1);
    SetSection(h, 0, 0x1000, 0x1000, 0);
    EXPECT_EQ(RvaToFilePosition(h, 0x1000, 0x4000), 0x380u);
    // Also when the fallback to the address gives 0.
    SetSection(h, 0, 0x1000, 0x1000, 0x9000);
    EXPECT_EQ(RvaToFilePosition(h, 0, 0x4000), 0x380u);
}
