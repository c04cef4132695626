// Writes infected sample files for the window's GUI tests: plant_samples COUNT FOLDER [FOLDER...].
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/signature_table.h"
#include "sample_builder.h"

// Each folder (created if missing, its parent must exist) gets COUNT samples named infected_NNN.exe,
// numbered across all folders; the signature records are used in table order, round and round.
int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: plant_samples COUNT FOLDER [FOLDER...]\n");
        return 2;
    }
    const int count = atoi(argv[1]);
    int written = 0;
    for (int folder = 2; folder < argc; ++folder) {
        CreateDirectoryA(argv[folder], nullptr);
        for (int i = 0; i < count; ++i, ++written) {
            const std::vector<uint8_t> bytes = BuildMatchingSample(SignatureTable[written % kSignatureCount]);
            char path[MAX_PATH];
            snprintf(path, sizeof path, "%s\\infected_%03d.exe", argv[folder], written);
            FILE* f = fopen(path, "wb");
            const bool ok = f && !bytes.empty() && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
            if (f) fclose(f);
            if (!ok) {
                fprintf(stderr, "plant_samples: cannot write %s\n", path);
                return 1;
            }
        }
    }
    printf("%d\n", written);
    return 0;
}
