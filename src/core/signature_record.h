// One signature record, laid out byte for byte as the table has always been stored, and the size
// rule that decides which file lengths it applies to.
#pragma once
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct SignatureRecord {
    char name[50];             // detection name, NUL-terminated, rest zero
    int32_t offset1;           // first probe's distance from the entry-point address
    uint8_t signature1[21];    // 20 compared bytes and a zero
    int32_t offset2;           // second probe's distance from the entry-point address
    uint8_t signature2[21];    // 20 compared bytes and a zero
    int32_t fileSize;          // file size the record is keyed to
    int32_t sizeRule;          // 1 exact size, 2 within 4095 bytes, 3 any size, else never
};
#pragma pack(pop)

static_assert(sizeof(SignatureRecord) == 108, "signature records are 108 bytes");
static_assert(offsetof(SignatureRecord, name) == 0, "record layout");
static_assert(offsetof(SignatureRecord, offset1) == 50, "record layout");
static_assert(offsetof(SignatureRecord, signature1) == 54, "record layout");
static_assert(offsetof(SignatureRecord, offset2) == 75, "record layout");
static_assert(offsetof(SignatureRecord, signature2) == 79, "record layout");
static_assert(offsetof(SignatureRecord, fileSize) == 100, "record layout");
static_assert(offsetof(SignatureRecord, sizeRule) == 104, "record layout");

constexpr size_t kProbeLength = 20;  // bytes of a signature that are compared

enum SizeRule : int32_t { kSizeRuleExact = 1, kSizeRuleNear = 2, kSizeRuleAny = 3 };

// The size gate of one record as it stands in the table (see SizeRule).
constexpr bool SizeRuleAccepts(const SignatureRecord& record, int32_t fileLength) {
    switch (record.sizeRule) {
    case kSizeRuleExact:
        return fileLength == record.fileSize;
    case kSizeRuleNear: {
        // The difference is taken in 32-bit arithmetic, wrapping like the old code did.
        const int32_t diff = static_cast<int32_t>(static_cast<uint32_t>(record.fileSize) - static_cast<uint32_t>(fileLength));
        return diff > -4096 && diff < 4096;
    }
    case kSizeRuleAny:
        return true;
    default:
        return false;
    }
}
