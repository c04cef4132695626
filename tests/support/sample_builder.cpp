// Lays out PE32 sample files whose probes sit where the file checker looks, and their near misses.
#include "sample_builder.h"

#include <algorithm>
#include <cstring>

#include "le_bytes.h"

namespace {

constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kImageBase = 0x400000;
constexpr size_t kOptionalHeaderAt = kSampleHeaderOffset + 24;
constexpr size_t kSectionTableAt = kSampleHeaderOffset + 248;
constexpr size_t kSectionEntrySize = 40;
constexpr size_t kMaxSampleSections = 20;
constexpr uint32_t kHighHeaderOffset = 0x10000 + kSampleHeaderOffset;
const char* const kSectionNames[] = {".text", ".data", ".rsrc", ".reloc"};

// Both layouts start the first section's raw data here and put the first probe 0x100 into it.
constexpr uint32_t kFirstRawData = 0x600;
constexpr uint32_t kFirstProbeAt = kFirstRawData + 0x100;

uint32_t AlignDown(uint32_t v, uint32_t a) { return v & ~(a - 1); }
uint64_t AlignUp64(uint64_t v, uint64_t a) { return (v + a - 1) & ~(a - 1); }

// A layout together with the file positions at which it puts the two probes.
struct Placement {
    SampleLayout layout;
    uint32_t probe1 = 0;
    uint32_t probe2 = 0;
};

bool ProbesApart(uint32_t p1, uint32_t p2) {
    return (p1 > p2 ? p1 - p2 : p2 - p1) >= kProbeLength;
}

// Three sections with three different address-to-file distances: the first probe 0x100 into the
// first section (large in memory, small on disk, as packers leave it), the entry point and the
// second probe in the second, the rest of the file in the third.
bool PlanScattered(const SignatureRecord& r, Placement* out) {
    const uint32_t size = static_cast<uint32_t>(r.fileSize);
    constexpr uint32_t kFirstVa = 0x1000;
    constexpr uint32_t kSecondRaw = 0x800, kSecondSpan = 0x2000, kThirdRaw = kSecondRaw + kSecondSpan;
    if (r.fileSize <= static_cast<int32_t>(kThirdRaw)) return false;

    const uint32_t a1 = kFirstVa + (kFirstProbeAt - kFirstRawData);
    const uint32_t entry = a1 - static_cast<uint32_t>(r.offset1);
    const uint32_t a2 = entry + static_cast<uint32_t>(r.offset2);
    const int64_t low = static_cast<int64_t>(entry) + (r.offset2 < 0 ? r.offset2 : 0);
    const int64_t high = std::max<int64_t>(static_cast<int64_t>(a2) + kProbeLength, entry + 1);
    if (r.offset1 >= 0 || low < 0 || high > UINT32_MAX) return false;
    const uint32_t secondVa = AlignDown(static_cast<uint32_t>(low), kSectionAlignment);
    // The first section must end after the first probe's address and not reach the second's.
    if (secondVa < a1 + kProbeLength || high - secondVa > kSecondSpan) return false;

    Placement p;
    p.layout.entryPoint = entry;
    p.layout.sections = {
        {kFirstVa, secondVa - kFirstVa, kFirstRawData, kSecondRaw - kFirstRawData},
        {secondVa, kSecondSpan, kSecondRaw, kSecondSpan},
        {secondVa + kSecondSpan, static_cast<uint32_t>(AlignUp64(size - kThirdRaw, kSectionAlignment)), kThirdRaw,
         size - kThirdRaw},
    };
    p.probe1 = kFirstProbeAt;
    p.probe2 = kSecondRaw + (a2 - secondVa);
    *out = p;
    return true;
}

// Two sections sharing one VirtualAddress - PointerToRawData, so file offsets follow addresses.
bool PlanUniform(const SignatureRecord& r, Placement* out) {
    const uint32_t size = static_cast<uint32_t>(r.fileSize);
    constexpr uint32_t kFirstVa = 0x1000, kSecondRaw = 0x1600, kShift = kFirstVa - kFirstRawData;
    if (r.fileSize <= static_cast<int32_t>(kSecondRaw)) return false;

    const int64_t entryFile = static_cast<int64_t>(kFirstProbeAt) - r.offset1;
    const int64_t p2 = entryFile + r.offset2;
    if (entryFile < kFirstRawData || entryFile >= size || p2 < kFirstRawData || p2 + kProbeLength > size)
        return false;
    if (!ProbesApart(kFirstProbeAt, static_cast<uint32_t>(p2))) return false;

    Placement p;
    p.layout.entryPoint = static_cast<uint32_t>(entryFile) + kShift;
    p.layout.sections = {
        {kFirstVa, kSecondRaw - kFirstRawData, kFirstRawData, kSecondRaw - kFirstRawData},
        {kSecondRaw + kShift, static_cast<uint32_t>(AlignUp64(size - kSecondRaw, kSectionAlignment)), kSecondRaw,
         size - kSecondRaw},
    };
    p.probe1 = kFirstProbeAt;
    p.probe2 = static_cast<uint32_t>(p2);
    *out = p;
    return true;
}

std::vector<uint8_t> BuildPlaced(const SignatureRecord& r, const Placement& p) {
    std::vector<uint8_t> image = BuildPeImage(static_cast<size_t>(r.fileSize), p.layout);
    if (image.empty()) return image;
    std::memcpy(&image[p.probe1], r.signature1, kProbeLength);
    std::memcpy(&image[p.probe2], r.signature2, kProbeLength);
    return image;
}

struct NearMissNameEntry {
    NearMiss kind;
    const char* name;
};
const NearMissNameEntry kNearMissNames[] = {
    {NearMiss::SizePlusOne, "SizePlusOne"},
    {NearMiss::SizeMinusOne, "SizeMinusOne"},
    {NearMiss::ProbeByteFlipped, "ProbeByteFlipped"},
    {NearMiss::BrokenPe, "BrokenPe"},
    {NearMiss::TwentyOneSections, "TwentyOneSections"},
    {NearMiss::HeaderOffsetAbove64K, "HeaderOffsetAbove64K"},
};

}  // namespace

std::vector<uint8_t> BuildPeImage(size_t fileSize, const SampleLayout& layout) {
    const size_t count = layout.sections.size();
    if (count > kMaxSampleSections || fileSize < kSectionTableAt + count * kSectionEntrySize) return {};
    std::vector<uint8_t> b(fileSize, 0);

    b[0] = 'M';
    b[1] = 'Z';
    PutU32(b, 60, kSampleHeaderOffset);
    const size_t h = kSampleHeaderOffset;
    b[h] = 'P';
    b[h + 1] = 'E';
    PutU16(b, h + 4, 0x014C);  // i386
    PutU16(b, h + 6, static_cast<uint16_t>(count));
    PutU16(b, h + 20, 0xE0);    // optional header size of a 32-bit image
    PutU16(b, h + 22, 0x0102);  // executable, 32-bit machine

    uint64_t imageEnd = layout.sizeOfHeaders;
    for (const SampleSection& s : layout.sections)
        imageEnd = std::max<uint64_t>(imageEnd, static_cast<uint64_t>(s.virtualAddress) + s.virtualSize);

    const size_t o = kOptionalHeaderAt;
    PutU16(b, o, 0x010B);  // PE32
    PutU32(b, o + 16, layout.entryPoint);
    PutU32(b, o + 20, count ? layout.sections[0].virtualAddress : 0);  // BaseOfCode
    PutU32(b, o + 28, kImageBase);
    PutU32(b, o + 32, kSectionAlignment);
    PutU32(b, o + 36, kFileAlignment);
    PutU16(b, o + 40, 4);  // operating system version
    PutU16(b, o + 48, 4);  // subsystem version
    PutU32(b, o + 56, static_cast<uint32_t>(AlignUp64(imageEnd, kSectionAlignment)));
    PutU32(b, o + 60, layout.sizeOfHeaders);
    PutU16(b, o + 68, 2);  // GUI
    PutU32(b, o + 72, 0x100000);
    PutU32(b, o + 76, 0x1000);
    PutU32(b, o + 80, 0x100000);
    PutU32(b, o + 84, 0x1000);
    PutU32(b, o + 92, 16);  // data directories

    for (size_t i = 0; i < count; ++i) {
        const SampleSection& s = layout.sections[i];
        const size_t e = kSectionTableAt + i * kSectionEntrySize;
        const char* name = kSectionNames[i % (sizeof kSectionNames / sizeof kSectionNames[0])];
        std::memcpy(&b[e], name, std::strlen(name));
        PutU32(b, e + 8, s.virtualSize);
        PutU32(b, e + 12, s.virtualAddress);
        PutU32(b, e + 16, s.sizeOfRawData);
        PutU32(b, e + 20, s.pointerToRawData);
        PutU32(b, e + 36, i == 0 ? 0x60000020u : 0xC0000040u);  // code / initialised data
    }
    return b;
}

std::vector<uint8_t> BuildMatchingSample(const SignatureRecord& r, bool uniformSections) {
    Placement p;
    const bool planned = uniformSections ? PlanUniform(r, &p) : PlanScattered(r, &p);
    if (!planned) return {};
    return BuildPlaced(r, p);
}

std::vector<uint8_t> BuildNearMiss(const SignatureRecord& r, NearMiss kind) {
    Placement p;
    if (!PlanScattered(r, &p)) return {};
    std::vector<uint8_t> b = BuildPlaced(r, p);
    if (b.empty()) return b;
    const size_t h = kSampleHeaderOffset;
    switch (kind) {
    case NearMiss::SizePlusOne:
        b.push_back(0);
        break;
    case NearMiss::SizeMinusOne:
        b.pop_back();
        break;
    case NearMiss::ProbeByteFlipped:
        b[p.probe2 + kProbeLength - 1] ^= 0xFF;
        break;
    case NearMiss::BrokenPe:
        b[h + 3] = 0x01;
        break;
    case NearMiss::TwentyOneSections:
        // The extra entries are zero: read as 20 they would still map both probes.
        PutU16(b, h + 6, 21);
        break;
    case NearMiss::HeaderOffsetAbove64K: {
        // A loader follows all 32 bits to the moved headers; the low half points at nothing.
        const size_t headerBytes = kSectionTableAt - h + p.layout.sections.size() * kSectionEntrySize;
        if (b.size() < kHighHeaderOffset + headerBytes) return {};
        std::memmove(&b[kHighHeaderOffset], &b[h], headerBytes);
        std::memset(&b[h], 0, headerBytes);
        PutU32(b, 60, kHighHeaderOffset);
        break;
    }
    default:
        return {};
    }
    return b;
}

const char* NearMissName(NearMiss kind) {
    for (const NearMissNameEntry& e : kNearMissNames)
        if (e.kind == kind) return e.name;
    return "";
}

bool ParseNearMiss(const char* name, NearMiss* kind) {
    for (const NearMissNameEntry& e : kNearMissNames) {
        if (std::strcmp(e.name, name) == 0) {
            *kind = e.kind;
            return true;
        }
    }
    return false;
}
