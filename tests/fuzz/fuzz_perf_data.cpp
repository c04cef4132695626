// Feeds arbitrary bytes to the performance-data readers: counter names, the process table, the target name.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/perf_data.h"

namespace {

bool LatinConvert(const uint16_t* name, size_t units, char* out, size_t outSize, void*) {
    if (units > outSize) return false;
    for (size_t i = 0; i < units; ++i) {
        if (name[i] > 0xFF) return false;
        out[i] = static_cast<char>(name[i]);
    }
    return true;
}

}  // namespace

// Layout of an input: 4 bytes of id-counter index, then the data block. The whole input is also
// read as a counter-name list and, cut at its first NUL, as a path.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PerfCounterNames names;
    ParsePerfCounterNames(data, size, &names);

    if (size >= 4) {
        uint32_t idIndex = static_cast<uint32_t>(data[0]) | (static_cast<uint32_t>(data[1]) << 8) |
                           (static_cast<uint32_t>(data[2]) << 16) | (static_cast<uint32_t>(data[3]) << 24);
        // An exact copy, so the sanitizer sees a read one past the end.
        std::vector<uint8_t> block(data + 4, data + size);
        ProcessTable table;
        if (ParsePerfProcessTable(block.data(), block.size(), idIndex, LatinConvert, nullptr, &table)) {
            if (table.count > kProcessTableCapacity) __builtin_trap();
            for (size_t i = 0; i < table.count; ++i) {
                if (std::memchr(table.entries[i].name, 0, sizeof table.entries[i].name) == nullptr) __builtin_trap();
                if (table.entries[i].processId == 0) __builtin_trap();
            }
        } else if (table.count != 0) {
            __builtin_trap();
        }
    }

    std::vector<char> path(data, data + size);
    path.push_back('\0');
    char target[260];
    if (PerfTargetName(path.data(), target, sizeof target) && target[0] == '\0') __builtin_trap();
    return 0;
}
