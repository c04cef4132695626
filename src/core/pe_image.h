// The few PE header fields the file checker needs, read the way the checker always has.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/bounded_reader.h"

constexpr uint32_t kPeSignature = 0x00004550;      // "PE\0\0"
constexpr uint32_t kHeaderOffsetField = 60;         // DOS header field holding the PE header offset
constexpr size_t kFileHeaderSize = 20;
constexpr size_t kOptionalHeaderPrefixSize = 96;
constexpr uint32_t kSectionTableDistance = 248;     // from the PE signature, as in a 32-bit image
constexpr int kMaxSections = 20;
constexpr size_t kSectionHeaderSize = 40;

// Headers of the file under check; overwritten for every file.
struct PeHeaders {
    uint16_t headerOffset;                                  // low half of the DOS header's field
    uint8_t fileHeader[kFileHeaderSize];
    uint16_t numberOfSections;                              // file header offset 2
    uint8_t optionalHeader[kOptionalHeaderPrefixSize];      // first bytes of the optional header
    uint32_t addressOfEntryPoint;                           // optional header offset 16
    uint32_t sizeOfHeaders;                                 // optional header offset 60
    uint8_t sectionTable[kMaxSections * kSectionHeaderSize];  // zero past numberOfSections
};

// The three section fields the address conversion uses.
struct PeSection {
    uint32_t virtualSize;
    uint32_t virtualAddress;
    uint32_t pointerToRawData;
};

// Reads the headers: offset from byte 60 (16 bits), "PE\0\0" there, file header, optional-header
// prefix, then NumberOfSections entries always taken 248 bytes after the signature. False when a
// read falls short, the signature is missing or there are more than 20 sections.
bool ReadPeHeaders(ByteSource& file, PeHeaders* headers);

// Section `index` (0 .. kMaxSections-1) of the table as read.
PeSection SectionAt(const PeHeaders& headers, int index);

// File position of address `a`: the first section whose VirtualAddress + VirtualSize (32-bit,
// wrapping) exceeds `a` maps it, else the last section; no sections leave `a` as it is. A result
// not below fileLength falls back to `a`, and a result of 0 becomes SizeOfHeaders.
uint32_t RvaToFilePosition(const PeHeaders& headers, uint32_t a, uint32_t fileLength);
