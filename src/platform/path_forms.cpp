// The forms one NT path takes: exactly in ANSI, in its short (8.3) form, readably for the user.
#include "platform/path_forms.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

#include "core/path_normalisation.h"
#include "core/path_text.h"
#include "core/text.h"
#include "core/text_buffer.h"
#include "platform/wide_files.h"

namespace {

const wchar_t kLongPathPrefix[] = L"\\\\?\\";

const wchar_t* WithoutLongPathPrefix(const wchar_t* path) {
    return StartsWith(path, kLongPathPrefix) ? path + 4 : path;
}

// The wide text of `text` exactly (no look-alike): converted back, it must be `wide` again.
// Asked for every entry of the walk, so it stays on the stack: `text` has at most 259 characters.
bool ComesBack(UINT codePage, const char* text, const wchar_t* wide) {
    const size_t length = std::wcslen(wide);
    wchar_t back[kMaxPathChars + 2];
    if (length + 2 > sizeof back / sizeof back[0]) return false;
    const int read = MultiByteToWideChar(codePage, 0, text, -1, back, static_cast<int>(sizeof back / sizeof back[0]));
    return read > 0 && static_cast<size_t>(read) == length + 1 &&
           std::memcmp(back, wide, (length + 1) * sizeof(wchar_t)) == 0;
}

// UTF-8 (and UTF-7) conversions take no replacement character and tell of none: the call fails
// when asked to.
bool TakesReplacement(UINT codePage) { return codePage != CP_UTF8 && codePage != CP_UTF7; }

}  // namespace

bool ExactInCodePage(UINT codePage, const wchar_t* wide, char* out, size_t capacity) {
    if (capacity == 0) return false;
    if (capacity > kMaxPathChars + 1) capacity = kMaxPathChars + 1;
    BOOL replaced = FALSE;
    const int written = WideCharToMultiByte(codePage, 0, wide, -1, out, static_cast<int>(capacity), nullptr,
                                            TakesReplacement(codePage) ? &replaced : nullptr);
    if (written <= 0 || replaced) {
        out[0] = '\0';
        return false;
    }
    // A look-alike is no replacement to the system (nor is UTF-8's mark for a broken character):
    // it shows when the text does not come back.
    if (!ComesBack(codePage, out, wide)) {
        out[0] = '\0';
        return false;
    }
    return true;
}

void ReadableInCodePage(UINT codePage, const wchar_t* wide, char* out, size_t capacity) {
    if (capacity == 0 || capacity > 0x7FFFFFFF) return;
    const char* missing = TakesReplacement(codePage) ? "?" : nullptr;
    if (WideCharToMultiByte(codePage, 0, wide, -1, out, static_cast<int>(capacity), missing, nullptr) <= 0) {
        // Too long for the buffer: as much as fits, terminated.
        const int cut = WideCharToMultiByte(codePage, 0, wide, static_cast<int>(capacity - 1) / 3, out,
                                            static_cast<int>(capacity - 1), missing, nullptr);
        out[cut > 0 ? cut : 0] = '\0';
    }
}

bool ExactAnsi(const wchar_t* wide, char* out, size_t capacity) { return ExactInCodePage(GetACP(), wide, out, capacity); }

void ReadableAnsi(const wchar_t* wide, char* out, size_t capacity) { ReadableInCodePage(GetACP(), wide, out, capacity); }

bool VerifiedShortAnsiPath(const wchar_t* widePath, char* out, size_t capacity) {
    const WideFileFunctions* wide = NtWideFileFunctions();
    if (capacity == 0) return false;
    out[0] = '\0';
    if (!wide || !wide->longPathName) return false;
    const PrefixedPath prefixed(widePath);
    if (!prefixed) return false;
    wchar_t shortForm[kMaxPathChars + 1 + 4];
    const DWORD length = wide->shortPathName(prefixed.get(), shortForm, sizeof shortForm / sizeof shortForm[0]);
    if (length == 0 || length >= sizeof shortForm / sizeof shortForm[0]) return false;
    // Given the prefix, the short form carries it too; the ANSI functions take it without.
    const wchar_t* plain = WithoutLongPathPrefix(shortForm);
    if (std::wcslen(plain) > kMaxPathChars) return false;
    TextBuffer<wchar_t> back(std::wcslen(widePath) + 64);
    if (!back) return false;
    // Asked of the short form as the ANSI functions will take it, then, where the system wants
    // it, with the prefix.
    DWORD backLength = wide->longPathName(plain, back.data(), static_cast<DWORD>(back.size()));
    if (backLength == 0) backLength = wide->longPathName(shortForm, back.data(), static_cast<DWORD>(back.size()));
    if (backLength == 0 || backLength >= back.size()) return false;
    if (CompareNoCase(WithoutLongPathPrefix(back.data()), widePath) != 0) return false;
    return ExactAnsi(plain, out, capacity);
}

FileRoute RouteTo(const wchar_t* widePath, char* ansi, size_t capacity) {
    if (ExactAnsi(widePath, ansi, capacity)) {
        if (!ChangedByPathNormalisation(ansi)) return FileRoute::kExactAnsi;
    } else if (VerifiedShortAnsiPath(widePath, ansi, capacity) && !ChangedByPathNormalisation(ansi)) {
        return FileRoute::kShortAnsi;
    }
    if (capacity) ansi[0] = '\0';
    return FileRoute::kWide;
}

bool WithLongPathPrefix(const wchar_t* path, wchar_t* out, size_t capacity) {
    const size_t length = std::wcslen(path);
    if (capacity < 5 || length > capacity - 5) return false;
    std::memcpy(out, kLongPathPrefix, 4 * sizeof(wchar_t));
    std::memcpy(out + 4, path, (length + 1) * sizeof(wchar_t));
    return true;
}

PrefixedPath::PrefixedPath(const wchar_t* path)
    : text_(std::wcslen(path) + 8), formed_(text_ && WithLongPathPrefix(path, text_.data(), text_.size())) {}
