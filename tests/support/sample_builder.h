// Builds PE files that the file checker must or must not flag, for tests and demonstrations.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/signature_table.h"

// One section header of a built image.
struct SampleSection {
    uint32_t virtualAddress;
    uint32_t virtualSize;
    uint32_t pointerToRawData;
    uint32_t sizeOfRawData;
};

// What a built 32-bit image declares; everything else is zero.
struct SampleLayout {
    uint32_t entryPoint = 0;
    uint32_t sizeOfHeaders = 0x600;
    std::vector<SampleSection> sections;  // at most 20 fit the header room
};

constexpr uint32_t kSampleHeaderOffset = 0x80;  // e_lfanew of every built image

// A PE32 image of exactly fileSize bytes: "MZ", e_lfanew, "PE\0\0", headers and section table
// for `layout`, the rest zero. Empty when the headers do not fit.
std::vector<uint8_t> BuildPeImage(size_t fileSize, const SampleLayout& layout);

// A file of exactly r.fileSize bytes on which the checker finds r. By default the sections map
// different address ranges with different file distances (the first probe in one section, the
// entry point and second probe in another); with uniformSections every section keeps the same
// VirtualAddress - PointerToRawData, so each probe lies at entry-point file offset + its offset.
// Empty if r cannot be laid out (the table's rows all can).
std::vector<uint8_t> BuildMatchingSample(const SignatureRecord& r, bool uniformSections = false);

// Files that differ from a matching sample in one respect, each of which the checker must pass by.
enum class NearMiss {
    SizePlusOne,           // one zero byte appended
    SizeMinusOne,          // last byte dropped
    ProbeByteFlipped,      // last compared byte of the second probe inverted
    BrokenPe,              // "PE" followed by 0x00 0x01 instead of two zeros
    TwentyOneSections,     // NumberOfSections 21, the first 20 entries still mapping both probes
    HeaderOffsetAbove64K,  // headers moved to e_lfanew + 0x10000, the low 16 bits leading nowhere
};
// Empty when the record's size cannot carry that kind (HeaderOffsetAbove64K needs more than 64 KB).
std::vector<uint8_t> BuildNearMiss(const SignatureRecord& r, NearMiss kind);

// Name of a near-miss kind as the enumerator is spelled ("SizePlusOne" ...), and back.
const char* NearMissName(NearMiss kind);
bool ParseNearMiss(const char* name, NearMiss* kind);

// Turns the bytes of a real program into a file of exactly r.fileSize bytes that the checker, which
// reads a 32-bit section table 248 bytes after the signature, sees as matching r, while the program
// still loads and runs the same. An x86_64 (PE32+) program keeps its headers but for data directory
// 15 (reserved) and bytes 4..7 of the first section's name, and gets zero padding with both
// signatures appended. An i386 (PE32) program gets one code section more after its image, holding
// both signatures and a new entry point that jumps to the program's own.
// False (exe untouched) when the file is not such a program or r.fileSize leaves no room.
bool MakeRunnableSample(std::vector<uint8_t>& exe, const SignatureRecord& r);

// Index of the smallest table record that the program `exe` can be made to match, or -1.
int PickRecordForRunnable(const std::vector<uint8_t>& exe);
