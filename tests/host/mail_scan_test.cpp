// Tests of the mail-file scan: the header test, white-space stripping, both blocks and both modes.
#include "core/mail_scan.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace {

std::string PlainSignature() {
    const uint8_t* plain = MailSignaturePlain(0);
    return std::string(reinterpret_cast<const char*>(plain), kMailSignatureTable[0].length);
}

// The signature spread over uuencoded-looking lines, with blanks, tabs and CR LF inside it.
std::string SpreadOut(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (i % 30 == 29) out += "\r\n";
        if (i % 17 == 16) out += " \t";
    }
    return out;
}

const MailSignatureRecord* Scan(const std::string& file) {
    MemorySource source(file.data(), file.size());
    static MailBlocks blocks;
    return ScanMailFile(source, static_cast<int64_t>(file.size()), &blocks);
}

std::string Filler(size_t n) {
    std::string out;
    while (out.size() < n) out += "M0V%I;F4@=&5X=\r\n";
    out.resize(n);
    return out;
}

TEST(MailSignatureTable, RecordMatchesItsStoredLayout) {
    const MailSignatureRecord& r = kMailSignatureTable[0];
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&r);
    EXPECT_STREQ(r.name, "W32/Nyxem.Worm");
    EXPECT_EQ(bytes[25] | bytes[26] << 8 | bytes[27] << 16 | bytes[28] << 24, 134042);
    EXPECT_EQ(bytes[29] | bytes[30] << 8, 1888);
    EXPECT_EQ(bytes[31] | bytes[32] << 8, 100);
    EXPECT_EQ(bytes[33] | bytes[34] << 8, 0);
    EXPECT_EQ(bytes[135] | bytes[136] << 8, 1);
    EXPECT_EQ(bytes[137] | bytes[138] << 8, 4);
    EXPECT_EQ(bytes[139] | bytes[140] << 8, 18);
    for (size_t i = 141; i < 170; ++i) EXPECT_EQ(bytes[i], 0) << i;
}

TEST(MailSignatureTable, PlainSignatureIsUuencodedTextWithoutWhiteSpace) {
    const MailSignatureRecord& r = kMailSignatureTable[0];
    const uint8_t* plain = MailSignaturePlain(0);
    for (size_t i = 0; i < 100; ++i) {
        EXPECT_GE(plain[i], 33) << i;
        EXPECT_LE(plain[i], 96) << i;
        EXPECT_FALSE(IsMailWhiteSpace(plain[i])) << i;
        // Stored scrambled, never in the plain.
        EXPECT_EQ(r.signature[i], plain[i] ^ 0x55) << i;
    }
    // Asking again gives the same bytes (descrambled once, not toggled back).
    EXPECT_EQ(PlainSignature(), std::string(reinterpret_cast<const char*>(MailSignaturePlain(0)), 100));
}

TEST(MailWhiteSpace, OnlyTabToCarriageReturnAndBlankAreStripped) {
    const uint8_t in[] = {'a', 9, 10, 11, 12, 13, 32, 'b', 8, 14, 0, 0xA0, 'c'};
    uint8_t out[sizeof in];
    size_t n = StripMailWhiteSpace(in, sizeof in, out, sizeof out);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), n), std::string("ab\x08\x0e\0\xa0" "c", 7));
    // A full output stops the copy.
    EXPECT_EQ(StripMailWhiteSpace(in, sizeof in, out, 1), 1u);
}

TEST(MailHeader, BeginInAnyCasePassesAndAnythingElseFails) {
    EXPECT_NE(Scan("begin 644 x\r\n" + SpreadOut(PlainSignature()) + "\r\nend\r\n"), nullptr);
    EXPECT_NE(Scan("BEGIN 644 x\r\n" + PlainSignature()), nullptr);
    EXPECT_NE(Scan("BeGiN" + PlainSignature()), nullptr);
    EXPECT_EQ(Scan(" begin 644 x\r\n" + PlainSignature()), nullptr);
    EXPECT_EQ(Scan("127.0.0.1       localhost\r\n" + PlainSignature()), nullptr);
    EXPECT_EQ(Scan(std::string("beg\0n", 5) + PlainSignature()), nullptr);
    EXPECT_EQ(Scan("begi"), nullptr);
}

TEST(MailHeader, FiveByteBeginPassesButHoldsNoSignature) {
    MemorySource source("begin", 5);
    EXPECT_TRUE(MailHeaderPasses(source, 5));
    EXPECT_FALSE(MailHeaderPasses(source, -1));
    MailBlocks blocks;
    EXPECT_TRUE(ReadMailBlocks(source, 5, &blocks));
    EXPECT_EQ(blocks.headCount, 5u);
    EXPECT_EQ(blocks.searchLength, 5u);
    EXPECT_EQ(Scan("begin"), nullptr);
}

TEST(MailSearch, FileShorterThanTheSignatureNeverMatches) {
    std::string sig = PlainSignature();
    EXPECT_EQ(Scan("begin" + sig.substr(0, 90)), nullptr);
    // Exactly "begin" plus the signature is long enough.
    EXPECT_NE(Scan("begin" + sig), nullptr);
}

TEST(MailSearch, WhiteSpaceInsideTheSignatureDoesNotPreventAMatch) {
    std::string file = "begin 644 hosts\r\n" + Filler(300) + SpreadOut(PlainSignature()) + "\r\n`\r\nend\r\n";
    EXPECT_NE(Scan(file), nullptr);
}

TEST(MailSearch, OneWrongCharacterPreventsAMatch) {
    std::string sig = PlainSignature();
    for (size_t at : {size_t{0}, size_t{50}, size_t{99}}) {
        std::string damaged = sig;
        damaged[at] = damaged[at] == 'A' ? 'B' : 'A';
        EXPECT_EQ(Scan("begin 644 x\r\n" + damaged + "\r\n"), nullptr) << at;
    }
}

TEST(MailSearch, LongFileIsSearchedInItsFirst4096BytesOnly) {
    std::string sig = PlainSignature();
    // Ends within the first 4096 bytes: found.
    std::string early = "begin 644 x\r\n" + Filler(4096 - 13 - 100) + sig + Filler(20000);
    EXPECT_NE(Scan(early), nullptr);
    // Crosses the 4096-byte mark: the head block holds only part of it.
    std::string across = "begin 644 x\r\n" + Filler(4096 - 13 - 50) + sig + Filler(20000);
    EXPECT_EQ(Scan(across), nullptr);
    // In the last 4096 bytes only: the one record searches the head block.
    std::string late = "begin 644 x\r\n" + Filler(20000) + sig + Filler(100);
    EXPECT_EQ(Scan(late), nullptr);
}

TEST(MailSearch, BlanksBeforeTheSignatureAreSkippedNotCounted) {
    // The head block is the first 4096 raw bytes without their blanks; the signature behind a
    // long run of blanks still lies within them and is found.
    std::string sig = PlainSignature();
    std::string spaced = "begin" + std::string(3000, ' ') + sig;
    EXPECT_NE(Scan(spaced + Filler(8000)), nullptr);
}

TEST(MailSearch, FileOfExactly4096BytesUsesBothBlocks) {
    std::string file = "begin 644 x\r\n" + PlainSignature();
    file += Filler(4096 - file.size());
    ASSERT_EQ(file.size(), 4096u);
    MemorySource source(file.data(), file.size());
    MailBlocks blocks;
    ASSERT_TRUE(ReadMailBlocks(source, 4096, &blocks));
    EXPECT_EQ(blocks.searchLength, 4096u);
    EXPECT_EQ(blocks.headCount, blocks.tailCount);
    EXPECT_NE(Scan(file), nullptr);
}

// A record of our own to reach the fixed-position mode and the size rules.
MailSignatureRecord TestRecord(int16_t mode, int16_t block, int16_t position, int16_t sizeRule, int32_t size) {
    MailSignatureRecord r{};
    r.size = size;
    r.position = position;
    r.length = 4;
    r.block = block;
    r.mode = mode;
    r.sizeRule = sizeRule;
    return r;
}

bool Matches(const MailSignatureRecord& r, const std::string& file) {
    MemorySource source(file.data(), file.size());
    MailBlocks blocks;
    if (!ReadMailBlocks(source, static_cast<int64_t>(file.size()), &blocks)) return false;
    return MailRecordMatches(r, reinterpret_cast<const uint8_t*>("WXYZ"), blocks, static_cast<int64_t>(file.size()));
}

TEST(MailFixedPosition, HeadBlockIsComparedAtThePosition) {
    std::string file = "begin" + std::string(10, 'a') + "WXYZ" + Filler(6000);
    EXPECT_TRUE(Matches(TestRecord(0, 0, 15, 0, 0), file));
    EXPECT_FALSE(Matches(TestRecord(0, 0, 14, 0, 0), file));
    // Positions outside the block are never read.
    EXPECT_FALSE(Matches(TestRecord(0, 0, 4095, 0, 0), file));
    EXPECT_FALSE(Matches(TestRecord(0, 0, 30000, 0, 0), file));
    EXPECT_FALSE(Matches(TestRecord(0, 0, -5, 0, 0), file));
}

TEST(MailFixedPosition, TailBlockIsComparedBackFromItsEnd) {
    std::string file = "begin" + Filler(6000) + "WXYZ" + std::string(6, 'b');
    EXPECT_TRUE(Matches(TestRecord(2, 1, 10, 0, 0), file));
    EXPECT_FALSE(Matches(TestRecord(2, 1, 11, 0, 0), file));
    // Back beyond the block's start: nothing is copied.
    EXPECT_FALSE(Matches(TestRecord(2, 1, 5000, 0, 0), file));
    EXPECT_FALSE(Matches(TestRecord(2, 1, -30000, 0, 0), file));
}

TEST(MailSizeRules, ExactAndNearSizesAreApplied) {
    std::string file = "beginWXYZ" + Filler(5000);
    int32_t n = static_cast<int32_t>(file.size());
    EXPECT_TRUE(Matches(TestRecord(1, 0, 0, 16, n), file));
    EXPECT_FALSE(Matches(TestRecord(1, 0, 0, 16, n + 1), file));
    EXPECT_TRUE(Matches(TestRecord(1, 0, 0, 17, n + 4096), file));
    EXPECT_TRUE(Matches(TestRecord(1, 0, 0, 17, n - 4096), file));
    EXPECT_FALSE(Matches(TestRecord(1, 0, 0, 17, n + 4097), file));
    EXPECT_TRUE(Matches(TestRecord(1, 0, 0, 18, 1), file));
    MailSignatureRecord disabled = TestRecord(1, 0, 0, 0, 0);
    disabled.length = 0;
    EXPECT_FALSE(Matches(disabled, file));
}

TEST(MailSearch, TailBlockSearchFindsTheEndOfALongFile) {
    std::string file = "begin" + Filler(20000) + "WXYZ" + Filler(50);
    EXPECT_TRUE(Matches(TestRecord(1, 1, 0, 0, 0), file));
    EXPECT_FALSE(Matches(TestRecord(1, 0, 0, 0, 0), file));
}

}  // namespace
