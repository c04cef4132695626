// Recognition of a uuencoded mail file carrying a known worm body, from its first or last 4096 bytes.
#include "core/mail_scan.h"

#include <cstring>

#include "core/text.h"

// The signature is 100 characters of a uuencoded body (no blanks: the file is compared with its
// white space taken out), kept scrambled so the program never carries the plain text.
const MailSignatureRecord kMailSignatureTable[1] = {
    {"W32/Nyxem.Worm", 134042, 1888, 100, 0,
     {0x0C, 0x76, 0x0B, 0x69, 0x7D, 0x61, 0x0F, 0x77, 0x7A, 0x68, 0x74, 0x0D, 0x6A, 0x79, 0x12, 0x69, 0x35,
      0x7F, 0x6B, 0x10, 0x06, 0x66, 0x68, 0x02, 0x74, 0x10, 0x0B, 0x7E, 0x72, 0x6C, 0x70, 0x14, 0x0E, 0x6A,
      0x66, 0x60, 0x73, 0x10, 0x67, 0x1A, 0x11, 0x7B, 0x01, 0x06, 0x11, 0x35, 0x78, 0x60, 0x79, 0x7C, 0x66,
      0x01, 0x76, 0x72, 0x1F, 0x0C, 0x70, 0x19, 0x06, 0x6F, 0x71, 0x60, 0x68, 0x64, 0x71, 0x08, 0x1A, 0x7C,
      0x1F, 0x07, 0x78, 0x6E, 0x04, 0x11, 0x0A, 0x65, 0x67, 0x65, 0x7C, 0x19, 0x00, 0x08, 0x63, 0x12, 0x04,
      0x6F, 0x06, 0x16, 0x7E, 0x73, 0x02, 0x0B, 0x74, 0x7C, 0x0E, 0x1F, 0x7A, 0x1F, 0x77, 0x06},
     1, 4, 18, 0, {}},
};

namespace {

constexpr size_t kTableSize = sizeof kMailSignatureTable / sizeof kMailSignatureTable[0];
constexpr size_t kSignatureRoom = sizeof kMailSignatureTable[0].signature;

uint8_t PlainSignatures[kTableSize][kSignatureRoom];
bool SignaturesDescrambled = false;

bool SizeRuleAllows(const MailSignatureRecord& record, int64_t fileLength) {
    switch (record.sizeRule) {
    case 16:
        return fileLength == record.size;
    case 17: {
        int64_t difference = fileLength - record.size;
        return difference >= -4096 && difference <= 4096;
    }
    default:
        return true;
    }
}

// Copies up to `count` bytes of `block` from `start` into `out`, never past the block's end.
void CopyFromBlock(const uint8_t* block, int64_t start, size_t count, uint8_t* out) {
    if (start < 0 || start >= static_cast<int64_t>(kMailBlockSize)) return;
    size_t from = static_cast<size_t>(start);
    size_t n = kMailBlockSize - from < count ? kMailBlockSize - from : count;
    std::memcpy(out, block + from, n);
}

}  // namespace

const uint8_t* MailSignaturePlain(size_t index) {
    if (index >= kTableSize) return nullptr;
    if (!SignaturesDescrambled) {
        SignaturesDescrambled = true;
        for (size_t r = 0; r < kTableSize; ++r) {
            size_t n = kMailSignatureTable[r].length < kSignatureRoom ? kMailSignatureTable[r].length : kSignatureRoom;
            for (size_t i = 0; i < n; ++i)
                PlainSignatures[r][i] = static_cast<uint8_t>(kMailSignatureTable[r].signature[i] ^ kMailScramble);
        }
    }
    return PlainSignatures[index];
}

bool IsMailWhiteSpace(uint8_t c) { return (c >= 9 && c <= 13) || c == 32; }

size_t StripMailWhiteSpace(const uint8_t* in, size_t length, uint8_t* out, size_t room) {
    size_t written = 0;
    for (size_t i = 0; i < length && written < room; ++i)
        if (!IsMailWhiteSpace(in[i])) out[written++] = in[i];
    return written;
}

bool MailHeaderPasses(ByteSource& file, int64_t fileLength) {
    if (fileLength < 0) return false;
    char head[5];
    if (!file.ReadAt(0, head, sizeof head)) return false;
    static const char kBegin[] = "begin";
    for (size_t i = 0; i < sizeof head; ++i)
        if (head[i] == '\0' || LowerAscii(head[i]) != kBegin[i]) return false;
    return true;
}

bool ReadMailBlocks(ByteSource& file, int64_t fileLength, MailBlocks* blocks) {
    std::memset(blocks, 0, sizeof *blocks);
    if (fileLength < 0) return false;
    uint8_t raw[kMailBlockSize];
    if (fileLength < static_cast<int64_t>(kMailBlockSize)) {
        size_t length = static_cast<size_t>(fileLength);
        if (!file.ReadAt(0, raw, length)) return false;
        blocks->headCount = StripMailWhiteSpace(raw, length, blocks->head, kMailBlockSize);
        std::memcpy(blocks->tail, blocks->head, kMailBlockSize);
        blocks->tailCount = blocks->headCount;
        blocks->searchLength = length;
        return true;
    }
    if (!file.ReadAt(0, raw, kMailBlockSize)) return false;
    blocks->headCount = StripMailWhiteSpace(raw, kMailBlockSize, blocks->head, kMailBlockSize);
    if (!file.ReadAt(static_cast<uint64_t>(fileLength) - kMailBlockSize, raw, kMailBlockSize)) return false;
    blocks->tailCount = StripMailWhiteSpace(raw, kMailBlockSize, blocks->tail, kMailBlockSize);
    blocks->searchLength = kMailBlockSize;
    return true;
}

bool MailRecordMatches(const MailSignatureRecord& record, const uint8_t* plainSignature, const MailBlocks& blocks,
                       int64_t fileLength) {
    size_t length = record.length;
    if (length == 0 || length > kSignatureRoom || fileLength < static_cast<int64_t>(length)) return false;
    if (!SizeRuleAllows(record, fileLength)) return false;

    uint8_t compare[kMailCompareSize] = {};
    if (record.mode == 1) {
        const uint8_t* block = record.block == 0 ? blocks.head : blocks.tail;
        size_t count = record.block == 0 ? blocks.headCount : blocks.tailCount;
        std::memcpy(compare, block, count <= kMailBlockSize ? count : kMailBlockSize);
        size_t searched = blocks.searchLength <= kMailCompareSize ? blocks.searchLength : kMailCompareSize;
        // Only starts whose whole signature fits in the comparison buffer.
        for (size_t at = 0; at < searched && at + length <= kMailCompareSize; ++at)
            if (compare[at] == plainSignature[0] && std::memcmp(compare + at, plainSignature, length) == 0) return true;
        return false;
    }
    if (record.block == 0) {
        CopyFromBlock(blocks.head, record.position, kSignatureRoom, compare);
    } else if (record.block == 1) {
        int64_t start = static_cast<int64_t>(blocks.tailCount) - record.position;
        if (start >= 0) CopyFromBlock(blocks.tail, start, kSignatureRoom, compare);
    }
    return std::memcmp(compare, plainSignature, length) == 0;
}

const MailSignatureRecord* ScanMailFile(ByteSource& file, int64_t fileLength, MailBlocks* blocks) {
    if (!MailHeaderPasses(file, fileLength)) return nullptr;
    if (!ReadMailBlocks(file, fileLength, blocks)) return nullptr;
    for (size_t r = 0; r < kTableSize; ++r)
        if (MailRecordMatches(kMailSignatureTable[r], MailSignaturePlain(r), *blocks, fileLength))
            return &kMailSignatureTable[r];
    return nullptr;
}
