// Bounded text helpers for the fixed-size 8-bit buffers the engine works with.
#include "core/text.h"

#include <cstring>

bool CopyText(char* dst, size_t capacity, const char* src) {
    if (capacity == 0) return false;
    size_t n = std::strlen(src);
    bool fits = n < capacity;
    if (!fits) n = capacity - 1;
    std::memcpy(dst, src, n);
    dst[n] = '\0';
    return fits;
}

bool AppendText(char* dst, size_t capacity, const char* src) {
    size_t have = strnlen(dst, capacity);
    size_t add = std::strlen(src);
    if (have >= capacity || add >= capacity - have) return false;
    std::memcpy(dst + have, src, add + 1);
    return true;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

int CompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char x = LowerAscii(*a), y = LowerAscii(*b);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
        if (x == '\0') return 0;
    }
}

int CompareNoCase(const wchar_t* a, const wchar_t* b) {
    auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    for (;; ++a, ++b) {
        const wchar_t x = lower(*a), y = lower(*b);
        if (x != y) return x < y ? -1 : 1;
        if (x == L'\0') return 0;
    }
}

bool StartsWith(const wchar_t* text, const wchar_t* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (*text != *prefix) return false;
    return true;
}

bool StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (LowerAscii(*text) != LowerAscii(*prefix)) return false;
    return true;
}

const char* FindNoCase(const char* text, const char* needle) {
    if (!*needle) return text;
    for (; *text; ++text)
        if (StartsWithNoCase(text, needle)) return text;
    return nullptr;
}
