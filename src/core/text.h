// Bounded text helpers for the fixed-size 8-bit buffers the engine works with.
#pragma once
#include <cstddef>

// Copies src into dst (capacity bytes, NUL included); false when src did not fit (dst then holds
// as much as fits, terminated). A capacity of 0 writes nothing.
bool CopyText(char* dst, size_t capacity, const char* src);
// Appends src to the text in dst; false when it did not fit (dst keeps its old text).
bool AppendText(char* dst, size_t capacity, const char* src);
// ASCII case-insensitive comparisons (the engine's texts are ANSI; only A-Z fold).
char LowerAscii(char c);
char UpperAscii(char c);
int CompareNoCase(const char* a, const char* b);
// The same for wide text (the file system's paths on the NT line), folding A-Z only.
int CompareNoCase(const wchar_t* a, const wchar_t* b);
// True when wide `text` begins with `prefix`, exactly.
bool StartsWith(const wchar_t* text, const wchar_t* prefix);
bool StartsWithNoCase(const char* text, const char* prefix);
// First occurrence of needle in text ignoring ASCII case, or nullptr.
const char* FindNoCase(const char* text, const char* needle);
