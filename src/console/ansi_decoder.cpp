// ANSI text to UTF-16 by the system's code page; the UTF-8 is the report writer's own work.
#include "console/ansi_decoder.h"

#include <windows.h>

#include "console/json_text.h"

size_t DecodeAnsi(const char* text, size_t length, char16_t* out, size_t capacity) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 code units");
    if (length == 0) return 0;
    wchar_t wide[1024];
    const int wideCapacity = static_cast<int>(capacity < 1024 ? capacity : 1024);
    const int count = length <= 0x7FFFFFFF
                          ? MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), wide, wideCapacity)
                          : 0;
    if (count <= 0) return DecodeCodePage1252(text, length, out, capacity);
    for (int i = 0; i < count; ++i) out[i] = static_cast<char16_t>(wide[i]);
    return static_cast<size_t>(count);
}
