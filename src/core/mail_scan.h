// Recognition of a uuencoded mail file carrying a known worm body, from its first or last 4096 bytes.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/bounded_reader.h"

#pragma pack(push, 1)
// One record of the mail-file signature table, laid out as it is stored (little-endian, packed).
struct MailSignatureRecord {
    char name[25];            // detection name, NUL-terminated
    int32_t size;             // file size for size rules 16 and 17
    int16_t position;         // fixed-position mode: offset into the head block, or back from the tail's end
    uint16_t length;          // signature bytes compared; 0 disables the record
    int16_t block;            // 0 head block, 1 tail block
    uint8_t signature[100];   // stored scrambled (each byte exclusive-or 0x55)
    int16_t mode;             // 1 search anywhere; otherwise compare at position
    int16_t notRead;          // holds 4
    int16_t sizeRule;         // 16 length equals size; 17 within 4096 of size; else no size condition
    int16_t unused;           // holds 0
    uint8_t reserved[27];     // zero
};
#pragma pack(pop)
static_assert(sizeof(MailSignatureRecord) == 170, "the record is stored as 170 packed bytes");

constexpr size_t kMailBlockSize = 4096;
constexpr size_t kMailCompareSize = 4097;
constexpr uint8_t kMailScramble = 0x55;

extern const MailSignatureRecord kMailSignatureTable[1];

// The plain signature bytes of table record `index` (descrambled once, into a copy of their own).
const uint8_t* MailSignaturePlain(size_t index);

// White-space-free copies of a file's first and last 4096 bytes.
struct MailBlocks {
    uint8_t head[kMailBlockSize];
    size_t headCount;
    uint8_t tail[kMailBlockSize];
    size_t tailCount;
    size_t searchLength;  // the file length for a short file, else 4096
};

// Bytes 9 to 13 and 32.
bool IsMailWhiteSpace(uint8_t c);
// Copies `in` without white space into `out` (capacity `room`); returns the count written.
size_t StripMailWhiteSpace(const uint8_t* in, size_t length, uint8_t* out, size_t room);

// The first five bytes spell "begin" in any case. `fileLength` < 0 means it was not obtainable.
bool MailHeaderPasses(ByteSource& file, int64_t fileLength);
// Fills `blocks` from the file; false on a failed read.
bool ReadMailBlocks(ByteSource& file, int64_t fileLength, MailBlocks* blocks);
// True when `record` (with its plain signature bytes) is found in `blocks`.
bool MailRecordMatches(const MailSignatureRecord& record, const uint8_t* plainSignature, const MailBlocks& blocks,
                       int64_t fileLength);

// The whole scan of one file against the table: the matching record or null.
const MailSignatureRecord* ScanMailFile(ByteSource& file, int64_t fileLength, MailBlocks* blocks);
