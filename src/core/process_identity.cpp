// Whether a listed process still runs a given file: the last look before it is ended.
#include "core/process_identity.h"

#include <cstring>

ImageMatch MatchListedProcess(const ListedProcess* entries, size_t count, uint32_t processId, const char* path,
                              bool (*sameFile)(const char* a, const char* b)) {
    for (size_t i = 0; i < count; ++i) {
        if (entries[i].processId != processId) continue;
        const char* executable = entries[i].executable;
        if (!executable || !std::strchr(executable, '\\')) return ImageMatch::kUnknown;
        return sameFile(executable, path) ? ImageMatch::kSameFile : ImageMatch::kOtherFile;
    }
    return ImageMatch::kOtherFile;
}
