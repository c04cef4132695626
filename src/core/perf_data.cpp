// Reading the registry's performance data into a small process table, and matching it by name.
#include "core/perf_data.h"

#include <cstring>

#include "core/bounded_reader.h"
#include "core/path_text.h"
#include "core/text.h"

namespace {

// Names are converted into a buffer of this size; a longer name cannot fit and counts as failed.
constexpr size_t kConvertedNameSize = 260;

// The run of decimal digits at the end of `text` (the index of a name's pair), or nullptr.
const char* TrailingDigits(const char* text, size_t length, size_t* digitCount) {
    size_t n = 0;
    while (n < length && text[length - 1 - n] >= '0' && text[length - 1 - n] <= '9') ++n;
    *digitCount = n;
    return n ? text + length - n : nullptr;
}

bool DecimalValue(const char* digits, size_t count, uint32_t* value) {
    uint64_t v = 0;
    for (size_t i = 0; i < count; ++i) {
        v = v * 10 + static_cast<uint64_t>(digits[i] - '0');
        if (v > UINT32_MAX) return false;
    }
    *value = static_cast<uint32_t>(v);
    return true;
}

// Reads the 32-bit field `field` of the structure at `base`; false when it lies outside the buffer.
bool FieldAt(BoundedReader& reader, size_t base, size_t field, uint32_t* value) {
    size_t at;
    if (!AddOffset(base, field, &at) || !reader.Has(at, 4)) return false;
    *value = reader.U32(at);
    return true;
}

bool IsPerfSignature(BoundedReader& reader) {
    static const uint8_t kSignature[8] = {'P', 0, 'E', 0, 'R', 0, 'F', 0};
    if (!reader.Has(perf_layout::kBlockSignature, sizeof kSignature)) return false;
    return std::memcmp(reader.Bytes(perf_layout::kBlockSignature, sizeof kSignature), kSignature, sizeof kSignature) == 0;
}

// Finds the CounterOffset of the first definition whose title index is `wanted`.
bool FindCounterOffset(BoundedReader& reader, size_t object, uint32_t wanted, uint32_t* counterOffset) {
    uint32_t headerLength, numCounters;
    if (!FieldAt(reader, object, perf_layout::kObjectHeaderLength, &headerLength) ||
        !FieldAt(reader, object, perf_layout::kObjectNumCounters, &numCounters))
        return false;
    size_t definition;
    if (!AddOffset(object, headerLength, &definition)) return false;
    for (uint32_t i = 0; i < numCounters; ++i) {
        uint32_t titleIndex;
        if (!FieldAt(reader, definition, perf_layout::kCounterNameTitleIndex, &titleIndex)) return false;
        if (titleIndex == wanted) return FieldAt(reader, definition, perf_layout::kCounterOffset, counterOffset);
        if (!AddOffset(definition, perf_layout::kCounterStride, &definition)) return false;
    }
    return false;
}

// Stores the instance name found at `nameAt` into `entry`: the converted text when it has at most
// 16 characters, empty when longer, "unknown" when the conversion fails. False when the name runs
// past the end of the buffer.
bool ReadInstanceName(BoundedReader& reader, size_t nameAt, PerfNameConverter convert, void* context,
                      ProcessTableEntry* entry) {
    uint16_t name[kConvertedNameSize];
    size_t units = 0;  // code units copied, the terminator included once found
    bool terminated = false;
    while (units < kConvertedNameSize) {
        size_t at;
        if (!AddOffset(nameAt, units * 2, &at) || !reader.Has(at, 2)) return false;
        name[units] = reader.U16(at);
        ++units;
        if (name[units - 1] == 0) {
            terminated = true;
            break;
        }
    }
    char converted[kConvertedNameSize] = {};
    bool ok = terminated && convert(name, units, converted, sizeof converted, context);
    converted[sizeof converted - 1] = '\0';
    if (!ok) {
        CopyText(entry->name, sizeof entry->name, "unknown");
    } else if (std::strlen(converted) < sizeof entry->name) {
        CopyText(entry->name, sizeof entry->name, converted);
    } else {
        entry->name[0] = '\0';
    }
    return true;
}

}  // namespace

bool ParsePerfCounterNames(const uint8_t* list, size_t size, PerfCounterNames* names) {
    std::memset(names, 0, sizeof *names);
    bool haveObject = false, haveIdCounter = false;
    const char* previous = nullptr;
    size_t previousLength = 0;
    size_t pos = 0;
    while (pos < size) {
        const void* end = std::memchr(list + pos, 0, size - pos);
        if (!end) break;  // an unterminated tail is not a string of the list
        const char* text = reinterpret_cast<const char*>(list + pos);
        size_t length = static_cast<size_t>(static_cast<const uint8_t*>(end) - (list + pos));
        if (length == 0) break;  // the empty string ends the list
        size_t digitCount = 0;
        const char* digits = previous ? TrailingDigits(previous, previousLength, &digitCount) : nullptr;
        if (digits && digitCount < sizeof names->objectIndexText) {
            if (CompareNoCase(text, "process") == 0) {
                std::memcpy(names->objectIndexText, digits, digitCount);
                names->objectIndexText[digitCount] = '\0';
                haveObject = true;
            } else if (CompareNoCase(text, "id process") == 0 && DecimalValue(digits, digitCount, &names->idCounterIndex)) {
                haveIdCounter = true;
            }
        }
        previous = text;
        previousLength = length;
        pos += length + 1;
    }
    if (!haveObject || !haveIdCounter) {
        std::memset(names, 0, sizeof *names);
        return false;
    }
    return true;
}

bool ParsePerfProcessTable(const uint8_t* data, size_t size, uint32_t idCounterIndex, PerfNameConverter convert,
                           void* context, ProcessTable* table) {
    std::memset(table, 0, sizeof *table);
    BoundedReader reader(data, size);
    if (size == 0 || !IsPerfSignature(reader)) return false;

    uint32_t objectOffset;
    if (!FieldAt(reader, 0, perf_layout::kBlockHeaderLength, &objectOffset)) return false;
    size_t object = objectOffset;
    uint32_t counterOffset;
    if (!FindCounterOffset(reader, object, idCounterIndex, &counterOffset)) return false;

    uint32_t definitionLength, numInstances;
    if (!FieldAt(reader, object, perf_layout::kObjectDefinitionLength, &definitionLength) ||
        !FieldAt(reader, object, perf_layout::kObjectNumInstances, &numInstances))
        return false;
    size_t count = numInstances < kProcessTableCapacity ? numInstances : kProcessTableCapacity;

    size_t instance;
    if (!AddOffset(object, definitionLength, &instance)) return false;
    for (size_t i = 0; i < count; ++i) {
        ProcessTableEntry* entry = &table->entries[i];
        uint32_t byteLength, nameOffset, processId, blockLength;
        size_t nameAt, block;
        bool ok = FieldAt(reader, instance, perf_layout::kInstanceByteLength, &byteLength) &&
                  FieldAt(reader, instance, perf_layout::kInstanceNameOffset, &nameOffset) &&
                  AddOffset(instance, nameOffset, &nameAt) &&
                  ReadInstanceName(reader, nameAt, convert, context, entry) &&
                  AddOffset(instance, byteLength, &block) &&
                  FieldAt(reader, block, counterOffset, &processId) &&
                  FieldAt(reader, block, perf_layout::kCounterBlockByteLength, &blockLength) &&
                  AddOffset(block, blockLength, &instance);
        if (!ok) {
            std::memset(table, 0, sizeof *table);
            return false;
        }
        entry->processId = processId ? processId : kPerfIdZeroStandIn;
    }
    table->count = count;
    return true;
}

bool PerfTargetName(const char* path, char* target, size_t targetSize) {
    char copy[260];
    if (!CopyText(copy, sizeof copy, path)) return false;
    size_t length = std::strlen(copy);
    if (length <= 4) return false;
    copy[length - 4] = '\0';
    for (char* c = copy; *c; ++c) *c = UpperAscii(*c);
    const char* name = FileNamePart(copy);
    // A path ending in a backslash and four characters leaves no name, which would match everything.
    if (!*name) return false;
    return CopyText(target, targetSize, name);
}

bool PerfEntryMatches(const ProcessTableEntry& entry, const char* target) {
    if (!*target || !StartsWithNoCase(entry.name, target)) return false;
    // The system tells processes of one name apart as name, name#1, name#2 ...; anything else
    // after the target is the name of another program (s is not svchost).
    const char* rest = entry.name + std::strlen(target);
    if (*rest == '\0') return true;
    if (*rest != '#' || rest[1] == '\0') return false;
    for (++rest; *rest; ++rest)
        if (*rest < '0' || *rest > '9') return false;
    return true;
}
