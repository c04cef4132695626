// Walks the signature records for one file: size gate first, then the two entry-point probes.
#include "core/signature_match.h"

#include <cstring>

namespace {
// Positions are handed to a signed 32-bit seek, which refuses anything from here up.
constexpr uint32_t kFirstUnseekablePosition = 0x80000000u;
}  // namespace

bool ProbeMatches(ByteSource& file, const PeHeaders& headers, int32_t fileLength, int32_t offset,
                  const uint8_t* signature) {
    // Entry point plus a negative offset wraps below zero and is converted like any address.
    const uint32_t address = headers.addressOfEntryPoint + static_cast<uint32_t>(offset);
    const uint32_t position = RvaToFilePosition(headers, address, static_cast<uint32_t>(fileLength));
    if (position >= kFirstUnseekablePosition) return false;
    uint8_t probe[kProbeLength];
    if (!file.ReadAt(position, probe, sizeof probe)) return false;
    return std::memcmp(probe, signature, sizeof probe) == 0;
}

int FindMatchingRecordIn(const SignatureRecord* table, int count, ByteSource& file, const PeHeaders& headers,
                         int32_t fileLength) {
    for (int i = 0; i < count && table[i].name[0] != '\0'; ++i) {
        const SignatureRecord& r = table[i];
        if (!SizeRuleAccepts(r, fileLength)) continue;
        if (!ProbeMatches(file, headers, fileLength, r.offset1, r.signature1)) continue;
        if (!ProbeMatches(file, headers, fileLength, r.offset2, r.signature2)) continue;
        return i;
    }
    return -1;
}

int FindMatchingRecord(ByteSource& file, const PeHeaders& headers, int32_t fileLength) {
    if (!AnyRecordAcceptsSize(fileLength)) return -1;
    return FindMatchingRecordIn(SignatureTable, kSignatureCount, file, headers, fileLength);
}
