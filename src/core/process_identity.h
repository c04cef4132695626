// Whether a listed process still runs a given file: the last look before it is ended.
#pragma once
#include <cstddef>
#include <cstdint>

enum class ImageMatch {
    kSameFile,   // the system names the file itself
    kOtherFile,  // the system names another file, or the process is gone (its id may be another's now)
    kUnknown,    // the system does not tell: the process is never ended on such an answer
};

struct ListedProcess {
    uint32_t processId;
    const char* executable;  // as the listing gives it: a full path (9x line) or a bare name (NT)
};

// What a process listing taken just now says of process `processId` and the file at `path`:
// the same file when its entry's full path names it (compared by `sameFile`), another file when
// the entry names another path or the id is no longer listed, unknown when the entry holds only a
// bare file name.
ImageMatch MatchListedProcess(const ListedProcess* entries, size_t count, uint32_t processId, const char* path,
                              bool (*sameFile)(const char* a, const char* b));
