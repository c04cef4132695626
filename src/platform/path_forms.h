// The forms one NT path takes: exactly in ANSI, in its short (8.3) form, readably for the user.
#pragma once
#include <windows.h>

#include <cstddef>

#include "core/text_buffer.h"

// Converts `wide` (a name or a path) to the ANSI code page exactly: false when the code page lacks a
// character or would put a look-alike in its place (a Greek alpha becomes "a"), or when the
// result does not fit `capacity` or is longer than the ANSI functions take (259 characters).
bool ExactAnsi(const wchar_t* wide, char* out, size_t capacity);

// The ANSI form for lines and the status: exact where it can be, '?' for what the code page lacks.
void ReadableAnsi(const wchar_t* wide, char* out, size_t capacity);

// The same two in code page `codePage`. The ANSI code page can be UTF-8 (a Windows 10 option), and
// the conversion then takes no replacement character: every text is exact but a broken one.
bool ExactInCodePage(UINT codePage, const wchar_t* wide, char* out, size_t capacity);
void ReadableInCodePage(UINT codePage, const wchar_t* wide, char* out, size_t capacity);

// The short (8.3) form of the existing file or folder at `widePath` (no "\\?\" prefix), for the
// ANSI functions: exact in ANSI, at most 259 characters, and proven to lead back to this very file
// (a short name two files share would lead to the other one). False when the volume keeps no short
// names, the proof is not possible, or the form does not fit.
bool VerifiedShortAnsiPath(const wchar_t* widePath, char* out, size_t capacity);

// How the file functions of the NT line reach the existing file or folder at `widePath` (full
// path, no "\\?\" prefix).
enum class FileRoute {
    kExactAnsi,  // `ansi` is its exact ANSI path
    kShortAnsi,  // it has no exact ANSI path; `ansi` is its short form, proven to be its own
    kWide,       // only the wide functions reach it; `ansi` is empty
};
// An ANSI path is used only where the system's path normalisation leaves it as it is: a name
// ending in a dot or a blank loses them, and a DOS device name (aux.exe) opens the device, so
// either would reach another file than this one. Such a file, whose exact ANSI path exists, goes
// the wide way (its readable form is then that exact text), not by a short form.
FileRoute RouteTo(const wchar_t* widePath, char* ansi, size_t capacity);

// `path` with the "\\?\" prefix the wide functions need past 259 characters; false when it does
// not fit `capacity` characters.
bool WithLongPathPrefix(const wchar_t* path, wchar_t* out, size_t capacity);

// `path` with that prefix, on the heap; false when it could not be formed.
class PrefixedPath {
public:
    explicit PrefixedPath(const wchar_t* path);
    explicit operator bool() const { return formed_; }
    const wchar_t* get() const { return text_.data(); }
    size_t size() const { return text_.size(); }

private:
    TextBuffer<wchar_t> text_;
    bool formed_;
};
