// Reads the checker's view of the PE headers and converts entry-point-relative addresses.
#include "core/pe_image.h"

#include <cstring>

namespace {

uint16_t LoadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t LoadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool ReadPeHeaders(ByteSource& file, PeHeaders* headers) {
    std::memset(headers, 0, sizeof *headers);

    uint8_t field[4];
    // Only the low half of the 32-bit offset field is taken, and "MZ" is never checked.
    if (!file.ReadAt(kHeaderOffsetField, field, 2)) return false;
    const uint32_t h = LoadU16(field);
    headers->headerOffset = static_cast<uint16_t>(h);

    if (!file.ReadAt(h, field, 4) || LoadU32(field) != kPeSignature) return false;
    if (!file.ReadAt(h + 4, headers->fileHeader, kFileHeaderSize)) return false;
    if (!file.ReadAt(h + 24, headers->optionalHeader, kOptionalHeaderPrefixSize)) return false;

    headers->numberOfSections = LoadU16(headers->fileHeader + 2);
    headers->addressOfEntryPoint = LoadU32(headers->optionalHeader + 16);
    headers->sizeOfHeaders = LoadU32(headers->optionalHeader + 60);
    if (headers->numberOfSections > kMaxSections) return false;

    // The table is taken where a 32-bit image has it; the declared optional-header size is ignored.
    // A read of 0 bytes succeeds wherever it is placed, even past the end of the file.
    const size_t tableBytes = headers->numberOfSections * kSectionHeaderSize;
    return tableBytes == 0 || file.ReadAt(h + kSectionTableDistance, headers->sectionTable, tableBytes);
}

PeSection SectionAt(const PeHeaders& headers, int index) {
    PeSection s{};
    if (index < 0 || index >= kMaxSections) return s;
    const uint8_t* entry = headers.sectionTable + index * kSectionHeaderSize;
    s.virtualSize = LoadU32(entry + 8);
    s.virtualAddress = LoadU32(entry + 12);
    s.pointerToRawData = LoadU32(entry + 20);
    return s;
}

uint32_t RvaToFilePosition(const PeHeaders& headers, uint32_t a, uint32_t fileLength) {
    const int count = headers.numberOfSections <= kMaxSections ? headers.numberOfSections : kMaxSections;
    uint32_t position = a;
    if (count > 0) {
        // No lower bound: the first section that ends past `a` takes it, whatever its start.
        int chosen = count - 1;
        for (int i = 0; i < count; ++i) {
            const PeSection s = SectionAt(headers, i);
            if (static_cast<uint32_t>(s.virtualAddress + s.virtualSize) > a) {
                chosen = i;
                break;
            }
        }
        const PeSection s = SectionAt(headers, chosen);
        position = a - s.virtualAddress + s.pointerToRawData;
    }
    if (position >= fileLength) position = a;
    if (position == 0) position = headers.sizeOfHeaders;
    return position;
}
