// Pads a real 64-bit program so the checker's 32-bit header reading sees it as an infected file.
#include "sample_builder.h"

#include <cstring>

#include "le_bytes.h"

// The checker takes the section table 248 bytes after "PE\0\0", where a 32-bit image keeps it; a
// PE32+ image keeps it at 264. Read at 248, the first "section" is made of data directory 14 (its
// name), data directory 15 (VirtualSize, VirtualAddress) and the first real section's name
// (bytes 4..7 become PointerToRawData). Directory 15 is reserved and names are not looked at by
// the loader, so those bytes can steer both probes into zero padding appended to the program.

namespace {

constexpr size_t kPe32PlusOptionalSize = 240;
constexpr uint32_t kPaddingAlignment = 0x200;

struct ProgramShape {
    size_t headerOffset = 0;
    uint32_t entryPoint = 0;
};

bool InspectProgram(const std::vector<uint8_t>& exe, ProgramShape* shape) {
    if (exe.size() < 64 || exe.size() >= 0x80000000u || exe[0] != 'M' || exe[1] != 'Z') return false;
    // The checker reads only the low 16 bits of e_lfanew, so the program must need no more.
    const uint32_t h = GetU32(exe, 60);
    if (h > 0xFFFF || h + 24 + kPe32PlusOptionalSize > exe.size()) return false;
    if (GetU32(exe, h) != 0x00004550) return false;
    const uint16_t sections = GetU16(exe, h + 6);
    if (sections < 1 || sections > 20 || GetU16(exe, h + 20) != kPe32PlusOptionalSize) return false;
    if (h + 24 + kPe32PlusOptionalSize + sections * 40u > exe.size()) return false;
    const size_t o = h + 24;
    if (GetU16(exe, o) != 0x020B || GetU32(exe, o + 108) != 16) return false;
    // Directory 15 must be the empty reserved slot it always is, or it is not ours to use.
    if (GetU32(exe, o + 232) != 0 || GetU32(exe, o + 236) != 0) return false;
    shape->headerOffset = h;
    shape->entryPoint = GetU32(exe, o + 16);
    return true;
}

uint64_t PaddingStart(size_t exeSize) {
    return (static_cast<uint64_t>(exeSize) + kPaddingAlignment - 1) & ~static_cast<uint64_t>(kPaddingAlignment - 1);
}

// Bytes from the first probe to the end of the second, or 0 when the probes would overlap.
uint64_t ProbeSpan(const SignatureRecord& r) {
    const int64_t distance = static_cast<int64_t>(r.offset2) - r.offset1;
    return distance >= static_cast<int64_t>(kProbeLength) ? static_cast<uint64_t>(distance) + kProbeLength : 0;
}

bool Fits(size_t exeSize, const SignatureRecord& r) {
    const uint64_t span = ProbeSpan(r);
    return span != 0 && r.fileSize > 0 && PaddingStart(exeSize) + span <= static_cast<uint64_t>(r.fileSize);
}

}  // namespace

bool MakeRunnableSample(std::vector<uint8_t>& exe, const SignatureRecord& r) {
    ProgramShape shape;
    if (!InspectProgram(exe, &shape) || !Fits(exe.size(), r)) return false;

    // The fake section starts at the first probe's address (wrapped) and ends at 0xFFFFFFFF, so it
    // is the first to end past both probe addresses and maps them linearly from the padding.
    const uint32_t a1 = shape.entryPoint + static_cast<uint32_t>(r.offset1);
    const uint32_t a2 = shape.entryPoint + static_cast<uint32_t>(r.offset2);
    if (a1 == 0xFFFFFFFF || a2 == 0xFFFFFFFF) return false;
    const uint32_t padding = static_cast<uint32_t>(PaddingStart(exe.size()));
    const uint32_t probe2 = padding + static_cast<uint32_t>(r.offset2 - r.offset1);

    std::vector<uint8_t> out(exe);
    out.resize(static_cast<size_t>(r.fileSize), 0);
    const size_t h = shape.headerOffset;
    PutU32(out, h + 256, 0xFFFFFFFFu - a1);  // directory 15 address: fake VirtualSize
    PutU32(out, h + 260, a1);                // directory 15 size: fake VirtualAddress
    PutU32(out, h + 268, padding);           // first section's name bytes 4..7: fake PointerToRawData
    std::memcpy(&out[padding], r.signature1, kProbeLength);
    std::memcpy(&out[probe2], r.signature2, kProbeLength);
    exe.swap(out);
    return true;
}

int PickRecordForRunnable(size_t exeSize) {
    int best = -1;
    for (int i = 0; i < kSignatureCount; ++i) {
        const SignatureRecord& r = SignatureTable[i];
        if (!Fits(exeSize, r)) continue;
        if (best < 0 || r.fileSize < SignatureTable[best].fileSize) best = i;
    }
    return best;
}
