// Ending every process whose performance-data instance name begins with the infected file's name.
#include <windows.h>
#include <winperf.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "processes/process_backends.h"
#include "processes/process_end.h"

// The parser reads the published layout; the platform's own declarations must agree with it.
static_assert(offsetof(PERF_DATA_BLOCK, HeaderLength) == perf_layout::kBlockHeaderLength, "layout");
static_assert(offsetof(PERF_OBJECT_TYPE, DefinitionLength) == perf_layout::kObjectDefinitionLength, "layout");
static_assert(offsetof(PERF_OBJECT_TYPE, HeaderLength) == perf_layout::kObjectHeaderLength, "layout");
static_assert(offsetof(PERF_OBJECT_TYPE, NumCounters) == perf_layout::kObjectNumCounters, "layout");
static_assert(offsetof(PERF_OBJECT_TYPE, NumInstances) == perf_layout::kObjectNumInstances, "layout");
static_assert(sizeof(PERF_COUNTER_DEFINITION) == perf_layout::kCounterStride, "layout");
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterNameTitleIndex) == perf_layout::kCounterNameTitleIndex, "layout");
static_assert(offsetof(PERF_COUNTER_DEFINITION, CounterOffset) == perf_layout::kCounterOffset, "layout");
static_assert(offsetof(PERF_INSTANCE_DEFINITION, NameOffset) == perf_layout::kInstanceNameOffset, "layout");
static_assert(sizeof(wchar_t) == sizeof(uint16_t), "UTF-16 names");

namespace {

constexpr DWORD kFirstDataSize = 51200;
constexpr DWORD kDataGrowth = 25600;
// The system names the size it needs only vaguely; past this the data is not worth the wait.
constexpr DWORD kMaxDataSize = 64u * 1024 * 1024;

bool ToAnsi(const uint16_t* name, size_t units, char* out, size_t outSize, void*) {
    return WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(name), static_cast<int>(units), out,
                               static_cast<int>(outSize), nullptr, nullptr) != 0;
}

bool ReadCounterNames(HKEY perflib, PerfCounterNames* names) {
    DWORD size = 0;
    if (RegQueryValueExA(perflib, "Counters", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return false;
    auto* list = static_cast<uint8_t*>(std::calloc(size, 1));
    if (!list) return false;
    bool ok = RegQueryValueExA(perflib, "Counters", nullptr, nullptr, list, &size) == ERROR_SUCCESS &&
              ParsePerfCounterNames(list, size, names);
    std::free(list);
    return ok;
}

bool ReadProcessData(const PerfCounterNames& names, ProcessTable* table) {
    DWORD capacity = kFirstDataSize;
    auto* data = static_cast<uint8_t*>(std::calloc(capacity, 1));
    if (!data) return false;
    DWORD size = capacity;
    LONG status = RegQueryValueExA(HKEY_PERFORMANCE_DATA, names.objectIndexText, nullptr, nullptr, data, &size);
    while (status == ERROR_MORE_DATA) {
        // Grow from what the failed query left, but never shrink below what was already tried.
        DWORD base = size > capacity ? size : capacity;
        if (base > kMaxDataSize - kDataGrowth) break;
        capacity = base + kDataGrowth;
        auto* grown = static_cast<uint8_t*>(std::realloc(data, capacity));
        if (!grown) break;
        data = grown;
        std::memset(data, 0, capacity);
        size = capacity;
        status = RegQueryValueExA(HKEY_PERFORMANCE_DATA, names.objectIndexText, nullptr, nullptr, data, &size);
    }
    bool ok = status == ERROR_SUCCESS && size != 0 && size <= capacity &&
              ParsePerfProcessTable(data, size, names.idCounterIndex, ToAnsi, nullptr, table);
    std::free(data);
    return ok;
}

}  // namespace

bool ReadPerfProcessTable(ProcessTable* table) {
    std::memset(table, 0, sizeof *table);
    char keyName[96];
    std::snprintf(keyName, sizeof keyName, "%s\\%03x", "software\\microsoft\\windows nt\\currentversion\\perflib", 9u);
    HKEY perflib = nullptr;
    bool ok = false;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, &perflib) == ERROR_SUCCESS) {
        PerfCounterNames names;
        ok = ReadCounterNames(perflib, &names) && ReadProcessData(names, table);
        RegCloseKey(perflib);
    }
    RegCloseKey(HKEY_PERFORMANCE_DATA);
    return ok;
}

int32_t EndMatchingTableEntries(const ProcessTable& table, const char* target, const char* path) {
    int32_t result = 0;
    for (size_t i = 0; i < table.count && i < kProcessTableCapacity; ++i) {
        if (!PerfEntryMatches(table.entries[i], target)) continue;
        // The name is only the file's name: a program of that name in another folder (the real
        // csrss.exe beside a worm copy named so) is left alone, and so is one whose executable the
        // system does not tell.
        if (EndProcessRunning(table.entries[i].processId, NamedFile{path, nullptr}) == EndOutcome::kEnded) result = 1;
        // Time for an ended process to let go of its file before the delete is tried again.
        Sleep(500);
    }
    return result;
}

int32_t KillByPerformanceData(const char* path) {
    char target[MAX_PATH];
    if (!PerfTargetName(path, target, sizeof target)) return 0;
    ProcessTable table;
    if (!ReadPerfProcessTable(&table)) return 0;
    return EndMatchingTableEntries(table, target, path);
}
