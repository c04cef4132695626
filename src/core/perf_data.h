// Reading the registry's performance data into a small process table, and matching it by name.
#pragma once
#include <cstddef>
#include <cstdint>

// Field offsets of the published performance-data layout. The pointer-sized title fields are
// 32 bits wide in the data on every platform, so these hold for 32- and 64-bit Windows alike.
namespace perf_layout {
constexpr size_t kBlockSignature = 0;       // PERF_DATA_BLOCK: four UTF-16 characters "PERF"
constexpr size_t kBlockHeaderLength = 24;   // PERF_DATA_BLOCK: offset of the first object type
constexpr size_t kObjectDefinitionLength = 4;  // PERF_OBJECT_TYPE: offset of the first instance
constexpr size_t kObjectHeaderLength = 8;      // PERF_OBJECT_TYPE: offset of the counter definitions
constexpr size_t kObjectNumCounters = 32;
constexpr size_t kObjectNumInstances = 40;
constexpr size_t kCounterStride = 40;                // sizeof(PERF_COUNTER_DEFINITION)
constexpr size_t kCounterNameTitleIndex = 4;
constexpr size_t kCounterOffset = 36;
constexpr size_t kInstanceByteLength = 0;            // PERF_INSTANCE_DEFINITION
constexpr size_t kInstanceNameOffset = 16;
constexpr size_t kCounterBlockByteLength = 0;        // PERF_COUNTER_BLOCK
}  // namespace perf_layout

constexpr size_t kProcessTableCapacity = 254;
constexpr size_t kProcessTableNameSize = 17;      // 16 characters and the terminator
constexpr uint32_t kPerfIdZeroStandIn = 0xFFFFFFFEu;  // a reported id of 0 is never opened
constexpr size_t kPerfIndexTextSize = 16;         // decimal index text of the process object

struct ProcessTableEntry {
    uint32_t processId;
    char name[kProcessTableNameSize];  // empty when the instance name was longer than 16 characters
};

struct ProcessTable {
    ProcessTableEntry entries[kProcessTableCapacity];
    size_t count;
};

// What the counter-name list tells: the index text of the "process" object (the value to query)
// and the index of its "id process" counter.
struct PerfCounterNames {
    char objectIndexText[kPerfIndexTextSize];
    uint32_t idCounterIndex;
};

// Parses the counter-name list (NUL-terminated strings in index/name pairs, ending with an empty
// string); a later match replaces an earlier one. False when either entry is missing.
bool ParsePerfCounterNames(const uint8_t* list, size_t size, PerfCounterNames* names);

// Turns a NUL-terminated UTF-16 name (`units` code units, the terminator included) into 8-bit
// text in `out` (capacity `outSize`); returns false when the conversion fails. Injected so the
// parser stays free of the platform.
using PerfNameConverter = bool (*)(const uint16_t* name, size_t units, char* out, size_t outSize, void* context);

// Walks the first object of a performance-data block and fills `table` with the first 254
// instances' ids (found through the counter `idCounterIndex`) and names. False, with an empty
// table, when the block is not performance data, lacks the counter, or any structure it needs
// lies outside the buffer.
bool ParsePerfProcessTable(const uint8_t* data, size_t size, uint32_t idCounterIndex, PerfNameConverter convert,
                           void* context, ProcessTable* table);

// The instance name to look for from an infected file's path: upper-cased, the last four
// characters (the extension) cut, the folder dropped. False when nothing usable is left.
bool PerfTargetName(const char* path, char* target, size_t targetSize);

// An instance matches when its name is the target, ignoring case, alone or followed by '#' and
// the digits that number processes of one name.
bool PerfEntryMatches(const ProcessTableEntry& entry, const char* target);
