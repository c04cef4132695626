// The system's own decoding of its ANSI code page, for the JSON report.
#pragma once
#include <cstddef>

// An AnsiDecoder (console/json_text.h): MultiByteToWideChar with the ANSI code page, which every
// Windows from 95 on implements; code page 1252 where it fails.
size_t DecodeAnsi(const char* text, size_t length, char16_t* out, size_t capacity);
