// Text work on the walker's paths: the shortened display form and the cutting and joining of patterns.
#include "core/path_text.h"

#include <cstring>

#include "core/text.h"

namespace {

template <typename Char>
size_t Length(const Char* text) {
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}

// The last `c` of `text`, or null.
template <typename Char>
const Char* Last(const Char* text, Char c) {
    const Char* found = nullptr;
    for (; *text; ++text)
        if (*text == c) found = text;
    return found;
}

// The text of an ASCII literal in the walker's character type.
template <typename Char, size_t N>
struct Literal {
    Char text[N];
    explicit Literal(const char (&ascii)[N]) {
        for (size_t i = 0; i < N; ++i) text[i] = static_cast<Char>(ascii[i]);
    }
};

// Longest text (without terminator) an output of this capacity may take.
size_t Limit(size_t capacity, size_t maxChars) {
    if (capacity == 0) return 0;
    return capacity - 1 < maxChars ? capacity - 1 : maxChars;
}

// Writes the concatenation of up to three pieces, or nothing when it would exceed the limit.
template <typename Char>
PathForm Join(Char* out, size_t capacity, size_t maxChars, const Char* head, size_t headLength, const Char* middle,
              const Char* tail) {
    size_t middleLength = Length(middle);
    size_t tailLength = Length(tail);
    size_t limit = Limit(capacity, maxChars);
    if (headLength > limit || middleLength > limit - headLength || tailLength > limit - headLength - middleLength) {
        if (capacity) out[0] = Char(0);
        return PathForm::kTooLong;
    }
    std::memmove(out, head, headLength * sizeof(Char));
    std::memcpy(out + headLength, middle, middleLength * sizeof(Char));
    std::memcpy(out + headLength + middleLength, tail, tailLength * sizeof(Char));
    out[headLength + middleLength + tailLength] = Char(0);
    return PathForm::kFormed;
}

// Length the pattern keeps when it is cut before the character that precedes its last '.'
// (for "C:\dir\*.*" that keeps "C:\dir\"). A '.' at the very start keeps nothing rather than
// reaching in front of the text.
template <typename Char>
bool CutBeforeLastDot(const Char* pattern, size_t* keep) {
    const Char* dot = Last(pattern, Char('.'));
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

template <typename Char>
PathForm FormEntryPath(const Char* pattern, const Char* name, Char* out, size_t capacity, size_t maxChars) {
    size_t keep;
    if (!CutBeforeLastDot(pattern, &keep)) return PathForm::kNoDot;
    const Literal<Char, 1> nothing("");
    return Join(out, capacity, maxChars, pattern, keep, name, nothing.text);
}

template <typename Char>
PathForm FormChildPattern(const Char* pattern, const Char* folderName, Char* out, size_t capacity, size_t maxChars) {
    size_t keep;
    if (!CutBeforeLastDot(pattern, &keep)) return PathForm::kNoDot;
    const Literal<Char, 5> allEntries("\\*.*");
    return Join(out, capacity, maxChars, pattern, keep, folderName, allEntries.text);
}

template <typename Char>
PathForm FormFolderPassPattern(const Char* pattern, Char* out, size_t capacity, size_t maxChars) {
    const Char* dot = Last(pattern, Char('.'));
    size_t keep = dot ? static_cast<size_t>(dot - pattern) + 1 : Length(pattern);
    const Literal<Char, 2> star("*");
    const Literal<Char, 1> nothing("");
    return Join(out, capacity, maxChars, pattern, keep, star.text, nothing.text);
}

bool FormProgramFilesFolder(const char* pattern, char* out, size_t capacity) {
    const char* colon = std::strchr(pattern, ':');
    if (!colon) return false;
    size_t keep = static_cast<size_t>(colon - pattern) + 1;
    return Join<char>(out, capacity, kMaxPathChars, pattern, keep, "\\Program Files", "") == PathForm::kFormed;
}

bool NamesProgramFilesFolder(const char* childPattern) {
    return std::strstr(childPattern, "\\Program Files\\") != nullptr;
}

bool NamesProgramFilesFolder(const wchar_t* childPattern) {
    for (const wchar_t* at = childPattern; *at; ++at)
        if (StartsWith(at, L"\\Program Files\\")) return true;
    return false;
}

const char* FileNamePart(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

template <typename Char>
bool IsDotEntry(const Char* name) {
    return name[0] == Char('.') && (name[1] == Char(0) || (name[1] == Char('.') && name[2] == Char(0)));
}

// The walker's two kinds of text.
template PathForm FormEntryPath(const char*, const char*, char*, size_t, size_t);
template PathForm FormEntryPath(const wchar_t*, const wchar_t*, wchar_t*, size_t, size_t);
template PathForm FormChildPattern(const char*, const char*, char*, size_t, size_t);
template PathForm FormChildPattern(const wchar_t*, const wchar_t*, wchar_t*, size_t, size_t);
template PathForm FormFolderPassPattern(const char*, char*, size_t, size_t);
template PathForm FormFolderPassPattern(const wchar_t*, wchar_t*, size_t, size_t);
template bool IsDotEntry(const char*);
template bool IsDotEntry(const wchar_t*);
