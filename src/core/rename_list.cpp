// Rewriting of the 9x rename list (wininit.ini) as text: the new entry goes last in [rename].
#include "core/rename_list.h"

#include <cstring>

#include "core/bounded_reader.h"
#include "core/text.h"

namespace {

const char kSectionHeader[] = "[rename]";
constexpr size_t kSectionHeaderLength = sizeof kSectionHeader - 1;

bool WriteText(TextSink& out, const char* text) { return out.Write(text, std::strlen(text)); }

bool WriteEntry(TextSink& out, const char* target, const char* source) {
    return WriteText(out, target) && WriteText(out, "=") && WriteText(out, source) && WriteText(out, "\r\n");
}

bool IsRenameHeader(const uint8_t* line, size_t length) {
    if (length < kSectionHeaderLength) return false;
    for (size_t i = 0; i < kSectionHeaderLength; ++i)
        if (LowerAscii(static_cast<char>(line[i])) != kSectionHeader[i]) return false;
    return true;
}

}  // namespace

bool WriteRenameListWithEntry(const void* old, size_t oldSize, const char* target, const char* source,
                              TextSink& out) {
    BoundedReader list(old, oldSize);
    bool insideSection = false;
    bool entryWritten = false;
    bool sectionSeen = false;
    size_t start = 0;
    while (start < oldSize) {
        // A line runs to its '\n' inclusive, whatever its length; the last may have none.
        const uint8_t* rest = list.Bytes(start, oldSize - start);
        if (!rest) return false;
        const void* newline = std::memchr(rest, '\n', oldSize - start);
        size_t length = newline ? static_cast<size_t>(static_cast<const uint8_t*>(newline) - rest) + 1 : oldSize - start;
        if (!entryWritten) {
            if (insideSection && rest[0] == '[') {
                if (!WriteEntry(out, target, source)) return false;
                entryWritten = true;
            } else if (!insideSection && IsRenameHeader(rest, length)) {
                insideSection = true;
                sectionSeen = true;
            }
        }
        if (!out.Write(reinterpret_cast<const char*>(rest), length)) return false;
        start += length;
    }
    if (entryWritten) return true;

    // Appending: keep the entry off the end of an unterminated last line.
    if (oldSize > 0) {
        uint8_t last = list.U8(oldSize - 1);
        if (last == '\r') {
            if (!WriteText(out, "\n")) return false;
        } else if (last != '\n') {
            if (!WriteText(out, "\r\n")) return false;
        }
    }
    if (!sectionSeen && !WriteText(out, "[rename]\r\n")) return false;
    return WriteEntry(out, target, source);
}

bool IsShortPathForm(const char* path) {
    if (!path || !*path) return false;
    const char* p = path;
    // Drive ("C:") or share root; both are already in their short form.
    if (((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')) && p[1] == ':') p += 2;
    while (*p) {
        if (*p == '\\') {
            ++p;
            continue;
        }
        size_t name = 0, extension = 0;
        bool dotSeen = false;
        for (; *p && *p != '\\'; ++p) {
            unsigned char c = static_cast<unsigned char>(*p);
            if (c <= ' ' || c == '=' || c == '[' || c == ']' || c == '"' || c == 0x7F) return false;
            if (c == '.') {
                if (dotSeen) return false;
                dotSeen = true;
                continue;
            }
            if (dotSeen) {
                if (++extension > 3) return false;
            } else if (++name > 8) {
                return false;
            }
        }
        if (name == 0 || (dotSeen && extension == 0)) return false;
    }
    return true;
}
