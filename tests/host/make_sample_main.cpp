// make_sample: writes matching, near-miss, uniform and runnable sample files for tests and demos.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/signature_table.h"
#include "support/sample_builder.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: make_sample match INDEX OUT\n"
                 "       make_sample uniform INDEX OUT\n"
                 "       make_sample nearmiss INDEX KIND OUT\n"
                 "       make_sample runnable EXE_IN OUT [INDEX]\n"
                 "INDEX: 0..%d in table order. KIND: SizePlusOne, SizeMinusOne, ProbeByteFlipped,\n"
                 "BrokenPe, TwentyOneSections, HeaderOffsetAbove64K.\n",
                 kSignatureCount - 1);
    return 2;
}

bool ParseIndex(const char* text, int* index) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 0 || v >= kSignatureCount) return false;
    *index = static_cast<int>(v);
    return true;
}

bool ReadFile(const char* path, std::vector<uint8_t>* bytes) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    bytes->clear();
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes->insert(bytes->end(), chunk, chunk + got);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const bool wrote = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && wrote;
}

int Emit(const char* path, const std::vector<uint8_t>& bytes, const char* what) {
    if (bytes.empty()) {
        std::fprintf(stderr, "make_sample: cannot build %s\n", what);
        return 1;
    }
    if (!WriteFile(path, bytes)) {
        std::fprintf(stderr, "make_sample: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

int Runnable(int argc, char** argv) {
    std::vector<uint8_t> exe;
    if (!ReadFile(argv[2], &exe)) {
        std::fprintf(stderr, "make_sample: cannot read %s\n", argv[2]);
        return 1;
    }
    int index = -1;
    if (argc == 5) {
        if (!ParseIndex(argv[4], &index)) return Usage();
    } else {
        index = PickRecordForRunnable(exe);
    }
    if (index < 0 || !MakeRunnableSample(exe, SignatureTable[index])) {
        std::fprintf(stderr, "make_sample: %s cannot be made to match record %d\n", argv[2], index);
        return 1;
    }
    if (Emit(argv[3], exe, "the runnable sample") != 0) return 1;
    std::printf("%d\n", index);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* mode = argv[1];
    int index = 0;
    if ((std::strcmp(mode, "match") == 0 || std::strcmp(mode, "uniform") == 0) && argc == 4) {
        if (!ParseIndex(argv[2], &index)) return Usage();
        const bool uniform = mode[0] == 'u';
        return Emit(argv[3], BuildMatchingSample(SignatureTable[index], uniform), "the sample");
    }
    if (std::strcmp(mode, "nearmiss") == 0 && argc == 5) {
        NearMiss kind;
        if (!ParseIndex(argv[2], &index) || !ParseNearMiss(argv[3], &kind)) return Usage();
        return Emit(argv[4], BuildNearMiss(SignatureTable[index], kind), "that near miss for this record");
    }
    if (std::strcmp(mode, "runnable") == 0 && (argc == 4 || argc == 5)) return Runnable(argc, argv);
    return Usage();
}
