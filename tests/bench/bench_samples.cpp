// Writes the benchmark tree's sample files, and the same records as a logical-signature database.
// Usage: bench_samples KIND INDEX PATH [KIND INDEX PATH ...]   (KIND: match, flip, plus, minus)
//        bench_samples --ldb                                     (database on standard output)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/signature_table.h"
#include "support/sample_builder.h"

namespace {

// Every sample keeps one VirtualAddress - PointerToRawData over all its sections, so an
// entry-point-relative offset means the same file position to every reader of the file.
constexpr bool kUniformSections = true;

bool ParseIndex(const char* text, int* index) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 0 || v >= kSignatureCount) return false;
    *index = static_cast<int>(v);
    return true;
}

// The first place where the record's second probe lies in the sample, or -1.
long FindSecondProbe(const std::vector<uint8_t>& bytes, const SignatureRecord& r) {
    if (bytes.size() < kProbeLength) return -1;
    for (size_t at = 0; at + kProbeLength <= bytes.size(); ++at)
        if (std::memcmp(&bytes[at], r.signature2, kProbeLength) == 0) return static_cast<long>(at);
    return -1;
}

// A matching sample, or one that differs from it in exactly one respect.
std::vector<uint8_t> BuildKind(const char* kind, const SignatureRecord& r) {
    std::vector<uint8_t> bytes = BuildMatchingSample(r, kUniformSections);
    if (bytes.empty() || std::strcmp(kind, "match") == 0) return bytes;
    if (std::strcmp(kind, "plus") == 0) {
        bytes.push_back(0);
        return bytes;
    }
    if (std::strcmp(kind, "minus") == 0) {
        bytes.pop_back();
        return bytes;
    }
    if (std::strcmp(kind, "flip") == 0) {
        const long at = FindSecondProbe(bytes, r);
        if (at < 0) return {};
        bytes[static_cast<size_t>(at) + kProbeLength - 1] ^= 0xFF;
        return bytes;
    }
    return {};
}

bool WriteWhole(const char* path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && wrote;
}

void PrintHex(const uint8_t* bytes) {
    for (size_t i = 0; i < kProbeLength; ++i) std::printf("%02x", bytes[i]);
}

// One logical signature per record: the exact size, then both probes relative to the entry point.
void PrintDatabase() {
    for (int i = 0; i < kSignatureCount; ++i) {
        const SignatureRecord& r = SignatureTable[i];
        std::printf("Purgix.Bench.R%02d;Engine:51-255,Target:1,FileSize:%d-%d;0&1;EP%c%ld:", i,
                    static_cast<int>(r.fileSize), static_cast<int>(r.fileSize), r.offset1 < 0 ? '-' : '+',
                    std::labs(static_cast<long>(r.offset1)));
        PrintHex(r.signature1);
        std::printf(";EP%c%ld:", r.offset2 < 0 ? '-' : '+', std::labs(static_cast<long>(r.offset2)));
        PrintHex(r.signature2);
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--ldb") == 0) {
        PrintDatabase();
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (argc < 4 || (argc - 1) % 3 != 0) {
        std::fprintf(stderr, "usage: bench_samples KIND INDEX PATH [...] | bench_samples --ldb\n");
        return 2;
    }
    int written = 0;
    for (int a = 1; a + 2 < argc; a += 3) {
        int index = 0;
        if (!ParseIndex(argv[a + 1], &index)) {
            std::fprintf(stderr, "bench_samples: bad record index %s\n", argv[a + 1]);
            return 2;
        }
        const std::vector<uint8_t> bytes = BuildKind(argv[a], SignatureTable[index]);
        if (bytes.empty() || !WriteWhole(argv[a + 2], bytes)) {
            std::fprintf(stderr, "bench_samples: cannot write %s sample %d to %s\n", argv[a], index, argv[a + 2]);
            return 1;
        }
        ++written;
    }
    std::printf("%d\n", written);
    return 0;
}
