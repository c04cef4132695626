// JSON strings in UTF-8 from the program's 8-bit texts.
#pragma once
#include <cstddef>

#include "console/bounded_text.h"

// Turns `length` bytes of 8-bit text into UTF-16 code units in `out` (at most `capacity`); returns
// the count, 0 when it cannot. Each system's own conversion of its code page, or the one below.
using AnsiDecoder = size_t (*)(const char* text, size_t length, char16_t* out, size_t capacity);

// Windows code page 1252, the ANSI code page of Western systems: the decoder where the system
// offers none. Its five unassigned bytes stand for the C1 control characters of the same number.
size_t DecodeCodePage1252(const char* text, size_t length, char16_t* out, size_t capacity);

// Appends `units` as a JSON string (quotes included) in UTF-8: '"', '\' and control characters
// escaped, a surrogate without its pair written as U+FFFD.
void AppendJsonString(BoundedText& out, const char16_t* units, size_t count);

// The same from 8-bit text through `decode`. Text longer than 1024 bytes, or that `decode`
// refuses, marks `out` as cut.
void AppendJsonText(BoundedText& out, const char* text, size_t length, AnsiDecoder decode);
void AppendJsonText(BoundedText& out, const char* text, AnsiDecoder decode);
