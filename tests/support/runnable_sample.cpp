// Pads a real program (64- or 32-bit) so the checker's header reading sees it as an infected file.
#include "sample_builder.h"

#include <algorithm>
#include <cstring>

#include "le_bytes.h"

// The checker takes the section table 248 bytes after "PE\0\0", where a 32-bit image keeps it.
//
// A PE32+ image keeps it at 264. Read at 248, the first "section" is made of data directory 14 (its
// name), data directory 15 (VirtualSize, VirtualAddress) and the first real section's name
// (bytes 4..7 become PointerToRawData). Directory 15 is reserved and names are not looked at by
// the loader, so those bytes can steer both probes into zero padding appended to the program.
//
// A PE32 image is read as it is, so it gets a real section more: appended after the program's own
// image, holding both probes and a new entry point between them whose first instruction jumps to
// the program's own entry point. The loader maps and runs it like any other code section.

namespace {

constexpr size_t kPe32OptionalSize = 224;
constexpr size_t kPe32PlusOptionalSize = 240;
constexpr size_t kSectionTableDistance = 248;
constexpr size_t kSectionEntrySize = 40;
constexpr uint16_t kMaxCheckedSections = 20;  // the checker refuses a file with more
constexpr uint32_t kPaddingAlignment = 0x200;
constexpr uint32_t kJumpLength = 5;  // jmp rel32
constexpr uint32_t kCodeSection = 0x60000020;  // code, executable, readable

enum class ImageKind { Pe32Plus, Pe32 };

struct ProgramShape {
    ImageKind kind = ImageKind::Pe32Plus;
    size_t headerOffset = 0;
    uint32_t entryPoint = 0;
    uint16_t sections = 0;
    uint32_t fileAlignment = kPaddingAlignment;  // PE32: the program's own alignments
    uint32_t sectionAlignment = 0;
    uint64_t imageEnd = 0;  // PE32: first address past every section, section-aligned
};

uint64_t AlignUp(uint64_t v, uint64_t a) { return (v + a - 1) & ~(a - 1); }

bool PowerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

bool InspectPe32Plus(const std::vector<uint8_t>& exe, size_t h, ProgramShape* shape) {
    if (shape->sections < 1 || shape->sections > kMaxCheckedSections) return false;
    if (h + 24 + kPe32PlusOptionalSize + shape->sections * 40u > exe.size()) return false;
    const size_t o = h + 24;
    if (GetU16(exe, o) != 0x020B || GetU32(exe, o + 108) != 16) return false;
    // Directory 15 must be the empty reserved slot it always is, or it is not ours to use.
    if (GetU32(exe, o + 232) != 0 || GetU32(exe, o + 236) != 0) return false;
    shape->kind = ImageKind::Pe32Plus;
    return true;
}

bool InspectPe32(const std::vector<uint8_t>& exe, size_t h, ProgramShape* shape) {
    const size_t o = h + 24;
    if (shape->sections < 1 || shape->sections >= kMaxCheckedSections || GetU16(exe, o) != 0x010B) return false;
    const uint32_t sectionAlignment = GetU32(exe, o + 32), fileAlignment = GetU32(exe, o + 36);
    if (!PowerOfTwo(sectionAlignment) || !PowerOfTwo(fileAlignment) || fileAlignment < kPaddingAlignment ||
        sectionAlignment < fileAlignment)
        return false;
    // The added entry must fit in the header room before any section's data, over zero bytes only.
    const size_t tableEnd = h + kSectionTableDistance + shape->sections * kSectionEntrySize;
    const size_t newEnd = tableEnd + kSectionEntrySize;
    if (newEnd > exe.size() || newEnd > GetU32(exe, o + 60)) return false;
    for (size_t k = tableEnd; k < newEnd; ++k)
        if (exe[k] != 0) return false;
    uint64_t end = GetU32(exe, o + 56);  // SizeOfImage
    for (uint16_t i = 0; i < shape->sections; ++i) {
        const size_t e = h + kSectionTableDistance + i * kSectionEntrySize;
        const uint32_t rawSize = GetU32(exe, e + 16), rawAt = GetU32(exe, e + 20);
        if (rawSize != 0 && rawAt < newEnd) return false;
        end = std::max<uint64_t>(end, uint64_t{GetU32(exe, e + 12)} + GetU32(exe, e + 8));
    }
    shape->kind = ImageKind::Pe32;
    shape->fileAlignment = fileAlignment;
    shape->sectionAlignment = sectionAlignment;
    shape->imageEnd = AlignUp(end, sectionAlignment);
    return shape->imageEnd < 0x70000000u;
}

bool InspectProgram(const std::vector<uint8_t>& exe, ProgramShape* shape) {
    if (exe.size() < 64 || exe.size() >= 0x80000000u || exe[0] != 'M' || exe[1] != 'Z') return false;
    // The checker reads only the low 16 bits of e_lfanew, so the program must need no more.
    const uint32_t h = GetU32(exe, 60);
    if (h > 0xFFFF || h + 24 + kPe32PlusOptionalSize > exe.size()) return false;
    if (GetU32(exe, h) != 0x00004550) return false;
    shape->headerOffset = h;
    shape->sections = GetU16(exe, h + 6);
    shape->entryPoint = GetU32(exe, h + 24 + 16);
    const uint16_t optionalSize = GetU16(exe, h + 20);
    if (optionalSize == kPe32PlusOptionalSize) return InspectPe32Plus(exe, h, shape);
    if (optionalSize == kPe32OptionalSize) return InspectPe32(exe, h, shape);
    return false;
}

uint64_t PaddingStart(const ProgramShape& shape, size_t exeSize) { return AlignUp(exeSize, shape.fileAlignment); }

// Bytes from the first probe to the end of the second, or 0 when the probes would overlap.
uint64_t ProbeSpan(const SignatureRecord& r) {
    const int64_t distance = static_cast<int64_t>(r.offset2) - r.offset1;
    return distance >= static_cast<int64_t>(kProbeLength) ? static_cast<uint64_t>(distance) + kProbeLength : 0;
}

// PE32: the added section runs from the lowest to the highest entry-relative byte it must hold (both
// probes and the jump at the entry point), none of which may overlap another.
struct AddedSection {
    int64_t low = 0;   // entry-relative start (<= 0)
    uint64_t span = 0;
};

bool PlanAddedSection(const SignatureRecord& r, AddedSection* out) {
    constexpr int64_t probe = kProbeLength, jump = kJumpLength;
    if (ProbeSpan(r) == 0) return false;
    for (int64_t offset : {int64_t{r.offset1}, int64_t{r.offset2}})
        if (offset < jump && offset + probe > 0) return false;
    const int64_t low = std::min<int64_t>({r.offset1, r.offset2, 0});
    const int64_t high = std::max<int64_t>({r.offset1 + probe, r.offset2 + probe, jump});
    out->low = low;
    out->span = static_cast<uint64_t>(high - low);
    return true;
}

bool Fits(const ProgramShape& shape, size_t exeSize, const SignatureRecord& r) {
    if (r.fileSize <= 0) return false;
    const uint64_t room = static_cast<uint64_t>(r.fileSize);
    if (shape.kind == ImageKind::Pe32Plus) {
        const uint64_t span = ProbeSpan(r);
        return span != 0 && PaddingStart(shape, exeSize) + span <= room;
    }
    AddedSection added;
    return PlanAddedSection(r, &added) && PaddingStart(shape, exeSize) + AlignUp(added.span, shape.fileAlignment) <= room;
}

// The fake section starts at the first probe's address (wrapped) and ends at 0xFFFFFFFF, so it is
// the first to end past both probe addresses and maps them linearly from the padding.
bool PatchPe32Plus(std::vector<uint8_t>& exe, const ProgramShape& shape, const SignatureRecord& r) {
    const uint32_t a1 = shape.entryPoint + static_cast<uint32_t>(r.offset1);
    const uint32_t a2 = shape.entryPoint + static_cast<uint32_t>(r.offset2);
    if (a1 == 0xFFFFFFFF || a2 == 0xFFFFFFFF) return false;
    const uint32_t padding = static_cast<uint32_t>(PaddingStart(shape, exe.size()));
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

// Every real section ends at or before the added one's start, so the added section is the first
// to end past either probe address, and it maps them where the probes were written.
bool PatchPe32(std::vector<uint8_t>& exe, const ProgramShape& shape, const SignatureRecord& r) {
    AddedSection added;
    if (!PlanAddedSection(r, &added)) return false;
    const uint32_t start = static_cast<uint32_t>(shape.imageEnd);
    const uint32_t entry = start + static_cast<uint32_t>(-added.low);
    const uint32_t padding = static_cast<uint32_t>(PaddingStart(shape, exe.size()));
    // File positions of entry-relative bytes: the section's raw data starts at its lowest one.
    auto at = [&](int64_t offset) { return padding + static_cast<uint32_t>(offset - added.low); };

    std::vector<uint8_t> out(exe);
    out.resize(static_cast<size_t>(r.fileSize), 0);
    const size_t h = shape.headerOffset, o = h + 24;
    const size_t e = h + kSectionTableDistance + shape.sections * kSectionEntrySize;
    std::memcpy(&out[e], ".sample", 7);
    PutU32(out, e + 8, static_cast<uint32_t>(added.span));
    PutU32(out, e + 12, start);
    PutU32(out, e + 16, static_cast<uint32_t>(AlignUp(added.span, shape.fileAlignment)));
    PutU32(out, e + 20, padding);
    PutU32(out, e + 36, kCodeSection);
    PutU16(out, h + 6, static_cast<uint16_t>(shape.sections + 1));
    PutU32(out, o + 16, entry);
    PutU32(out, o + 56, static_cast<uint32_t>(AlignUp(uint64_t{start} + added.span, shape.sectionAlignment)));
    out[at(0)] = 0xE9;
    PutU32(out, at(0) + 1, shape.entryPoint - (entry + kJumpLength));
    std::memcpy(&out[at(r.offset1)], r.signature1, kProbeLength);
    std::memcpy(&out[at(r.offset2)], r.signature2, kProbeLength);
    exe.swap(out);
    return true;
}

}  // namespace

bool MakeRunnableSample(std::vector<uint8_t>& exe, const SignatureRecord& r) {
    ProgramShape shape;
    if (!InspectProgram(exe, &shape) || !Fits(shape, exe.size(), r)) return false;
    return shape.kind == ImageKind::Pe32Plus ? PatchPe32Plus(exe, shape, r) : PatchPe32(exe, shape, r);
}

int PickRecordForRunnable(const std::vector<uint8_t>& exe) {
    ProgramShape shape;
    if (!InspectProgram(exe, &shape)) return -1;
    int best = -1;
    for (int i = 0; i < kSignatureCount; ++i) {
        const SignatureRecord& r = SignatureTable[i];
        if (!Fits(shape, exe.size(), r)) continue;
        if (best < 0 || r.fileSize < SignatureTable[best].fileSize) best = i;
    }
    return best;
}
