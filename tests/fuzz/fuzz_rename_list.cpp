// Fuzz target: the rename-list rewrite on arbitrary old lists must keep them and add one entry.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/rename_list.h"
#include "support/string_sink.h"

namespace {

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char kEntry[] = "NUL=C:\\VIRUS~1.EXE\r\n";
    StringSink sink;
    if (!WriteRenameListWithEntry(data, size, "NUL", "C:\\VIRUS~1.EXE", sink)) std::abort();
    // The new list is the old one with the entry (and at most a header and a line end) added.
    size_t added = sink.text.size() - size;
    if (sink.text.size() < size || added < sizeof kEntry - 1 || added > sizeof kEntry - 1 + 12) std::abort();
    if (sink.text.find(kEntry) == std::string::npos) std::abort();
    // The old bytes all survive in order: the new list is old[:k] + something + old[k:].
    std::string old(reinterpret_cast<const char*>(data), size);
    size_t k = 0;
    while (k < size && sink.text[k] == old[k]) ++k;
    if (sink.text.compare(k + added, std::string::npos, old, k, std::string::npos) != 0) std::abort();

    char path[64];
    size_t n = size < sizeof path - 1 ? size : sizeof path - 1;
    std::memcpy(path, data, n);
    path[n] = '\0';
    (void)IsShortPathForm(path);
    return 0;
}
