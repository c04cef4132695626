// JSON strings in UTF-8: the program's own encoder, since the 9x line has no UTF-8 conversion.
#include "console/json_text.h"

#include <cstring>

namespace {

// 0x80 .. 0x9F of code page 1252; the other bytes are the same numbers in Unicode.
const char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D,
    0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D,
    0x017E, 0x0178,
};

constexpr size_t kLongestText = 1024;

void AppendUtf8(BoundedText& out, char32_t c) {
    char bytes[4];
    size_t n;
    if (c < 0x80) {
        bytes[0] = static_cast<char>(c);
        n = 1;
    } else if (c < 0x800) {
        bytes[0] = static_cast<char>(0xC0 | (c >> 6));
        bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
        n = 2;
    } else if (c < 0x10000) {
        bytes[0] = static_cast<char>(0xE0 | (c >> 12));
        bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
        n = 3;
    } else {
        bytes[0] = static_cast<char>(0xF0 | (c >> 18));
        bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
        n = 4;
    }
    out.Append(bytes, n);
}

void AppendEscaped(BoundedText& out, char32_t c) {
    switch (c) {
    case '"': out.Append("\\\""); return;
    case '\\': out.Append("\\\\"); return;
    case '\n': out.Append("\\n"); return;
    case '\r': out.Append("\\r"); return;
    case '\t': out.Append("\\t"); return;
    default: break;
    }
    if (c < 0x20) {
        static const char digits[] = "0123456789abcdef";
        const char escape[6] = {'\\', 'u', '0', '0', digits[c >> 4], digits[c & 15]};
        out.Append(escape, sizeof escape);
        return;
    }
    AppendUtf8(out, c);
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

size_t DecodeCodePage1252(const char* text, size_t length, char16_t* out, size_t capacity) {
    if (length > capacity) return 0;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        out[i] = byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : static_cast<char16_t>(byte);
    }
    return length;
}

void AppendJsonString(BoundedText& out, const char16_t* units, size_t count) {
    out.AppendChar('"');
    for (size_t i = 0; i < count; ++i) {
        const char16_t unit = units[i];
        if (IsHighSurrogate(unit) && i + 1 < count && IsLowSurrogate(units[i + 1])) {
            AppendEscaped(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendEscaped(out, 0xFFFD);
        } else {
            AppendEscaped(out, unit);
        }
    }
    out.AppendChar('"');
}

void AppendJsonText(BoundedText& out, const char* text, size_t length, AnsiDecoder decode) {
    char16_t units[kLongestText];
    const size_t count = length <= kLongestText ? decode(text, length, units, kLongestText) : 0;
    if (count == 0 && length != 0) {
        // Nothing of it is written: the caller sees the text cut and does not trust the report.
        out.MarkCut();
        return;
    }
    AppendJsonString(out, units, count);
}

void AppendJsonText(BoundedText& out, const char* text, AnsiDecoder decode) {
    AppendJsonText(out, text, std::strlen(text), decode);
}
