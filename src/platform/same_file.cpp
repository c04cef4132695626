// Whether two paths name the same file, whichever of its long and short (8.3) names each uses.
#include "platform/same_file.h"

#include <windows.h>

#include <cwchar>

#include "core/text.h"
#include "core/text_buffer.h"
#include "platform/path_forms.h"
#include "platform/wide_files.h"

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

// The short form of an existing file's wide path, with the prefix it was asked with.
bool WideShortForm(const wchar_t* path, TextBuffer<wchar_t>* out) {
    const WideFileFunctions* wide = NtWideFileFunctions();
    const PrefixedPath prefixed(path);
    if (!wide || !prefixed || !*out) return false;
    const DWORD length = wide->shortPathName(prefixed.get(), out->data(), static_cast<DWORD>(out->size()));
    return length != 0 && length < out->size();
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

bool SameWidePath(const wchar_t* a, const wchar_t* b) {
    if (CompareNoCase(a, b) == 0) return true;
    // A short form is never longer than the long one.
    TextBuffer<wchar_t> shortA(std::wcslen(a) + 8), shortB(std::wcslen(b) + 8);
    return WideShortForm(a, &shortA) && WideShortForm(b, &shortB) && CompareNoCase(shortA.data(), shortB.data()) == 0;
}

bool NamesFile(const char* path, const NamedFile& file) {
    if (!file.wide) return SameFilePath(path, file.shown);
    char full[MAX_PATH];
    wchar_t wide[MAX_PATH];
    return FullForm(path, full, sizeof full) &&
           MultiByteToWideChar(CP_ACP, 0, full, -1, wide, sizeof wide / sizeof wide[0]) > 0 && SameWidePath(wide, file.wide);
}
