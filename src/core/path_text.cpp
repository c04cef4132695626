// Text work on the walker's paths: the shortened display form and the cutting and joining of patterns.
#include "core/path_text.h"

#include <cstring>

#include "core/text.h"

namespace {

// Longest text (without terminator) an output of this capacity may take.
size_t Limit(size_t capacity) {
    if (capacity == 0) return 0;
    return capacity - 1 < kMaxPathChars ? capacity - 1 : kMaxPathChars;
}

// Writes the concatenation of up to three pieces, or nothing when it would exceed the limit.
PathForm Join(char* out, size_t capacity, const char* head, size_t headLength, const char* middle,
              const char* tail) {
    size_t middleLength = std::strlen(middle);
    size_t tailLength = std::strlen(tail);
    size_t limit = Limit(capacity);
    if (headLength > limit || middleLength > limit - headLength || tailLength > limit - headLength - middleLength) {
        if (capacity) out[0] = '\0';
        return PathForm::kTooLong;
    }
    std::memmove(out, head, headLength);
    std::memcpy(out + headLength, middle, middleLength);
    std::memcpy(out + headLength + middleLength, tail, tailLength);
    out[headLength + middleLength + tailLength] = '\0';
    return PathForm::kFormed;
}

// Length the pattern keeps when it is cut before the character that precedes its last '.'
// (for "C:\dir\*.*" that keeps "C:\dir\"). A '.' at the very start keeps nothing rather than
// reaching in front of the text.
bool CutBeforeLastDot(const char* pattern, size_t* keep) {
    const char* dot = std::strrchr(pattern, '.');
    if (!dot) return false;
    size_t at = static_cast<size_t>(dot - pattern);
    *keep = at > 0 ? at - 1 : 0;
    return true;
}

}  // namespace

void ShortenPath(const char* source, char* destination, size_t capacity, int16_t width) {
    if (capacity == 0) return;
    size_t length = std::strlen(source);
    int half = width / 2 - 1;
    if (width < 0 || length <= static_cast<size_t>(width) || half <= 0) {
        CopyText(destination, capacity, source);
        return;
    }
    size_t w = static_cast<size_t>(width);
    size_t h = static_cast<size_t>(half);
    size_t written = w < capacity - 1 ? w : capacity - 1;
    for (size_t i = 0; i < written; ++i) {
        if (i < h)
            destination[i] = source[i];
        else if (i >= w - h)
            destination[i] = source[length - (w - i)];
        else
            destination[i] = '.';
    }
    destination[written] = '\0';
}

PathForm FormEntryPath(const char* pattern, const char* name, char* out, size_t capacity) {
    size_t keep;
    if (!CutBeforeLastDot(pattern, &keep)) return PathForm::kNoDot;
    return Join(out, capacity, pattern, keep, name, "");
}

PathForm FormChildPattern(const char* pattern, const char* folderName, char* out, size_t capacity) {
    size_t keep;
    if (!CutBeforeLastDot(pattern, &keep)) return PathForm::kNoDot;
    return Join(out, capacity, pattern, keep, folderName, "\\*.*");
}

PathForm FormFolderPassPattern(const char* pattern, char* out, size_t capacity) {
    const char* dot = std::strrchr(pattern, '.');
    size_t keep = dot ? static_cast<size_t>(dot - pattern) + 1 : std::strlen(pattern);
    return Join(out, capacity, pattern, keep, "*", "");
}

bool FormProgramFilesFolder(const char* pattern, char* out, size_t capacity) {
    const char* colon = std::strchr(pattern, ':');
    if (!colon) return false;
    size_t keep = static_cast<size_t>(colon - pattern) + 1;
    return Join(out, capacity, pattern, keep, "\\Program Files", "") == PathForm::kFormed;
}

bool NamesProgramFilesFolder(const char* childPattern) {
    return std::strstr(childPattern, "\\Program Files\\") != nullptr;
}

const char* FileNamePart(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}
