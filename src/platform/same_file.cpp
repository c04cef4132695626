// Whether two paths name the same file, whichever of its long and short (8.3) names each uses.
#include "platform/same_file.h"

#include <windows.h>

#include "core/text.h"

namespace {

// The full form of a path that may be relative to the current folder.
bool FullForm(const char* path, char* out, DWORD capacity) {
    char* name = nullptr;
    const DWORD length = GetFullPathNameA(path, capacity, out, &name);
    return length != 0 && length < capacity;
}

// The short form of an existing file's path; false when the system gives none that fits.
bool ShortForm(const char* path, char* out, DWORD capacity) {
    const DWORD length = GetShortPathNameA(path, out, capacity);
    return length != 0 && length < capacity;
}

}  // namespace

bool SameFilePath(const char* a, const char* b) {
    char fullA[MAX_PATH], fullB[MAX_PATH];
    if (!FullForm(a, fullA, sizeof fullA) || !FullForm(b, fullB, sizeof fullB)) return CompareNoCase(a, b) == 0;
    if (CompareNoCase(fullA, fullB) == 0) return true;
    char shortA[MAX_PATH], shortB[MAX_PATH];
    return ShortForm(fullA, shortA, sizeof shortA) && ShortForm(fullB, shortB, sizeof shortB) &&
           CompareNoCase(shortA, shortB) == 0;
}
