// Reading the program out of a service's registered command line (ImagePath), as text.
#include "core/service_command.h"

#include <cstring>

#include "core/text.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Copies `length` bytes of `text` into out as a terminated text; false when they do not fit.
bool CopyPart(const char* text, size_t length, char* out, size_t capacity) {
    if (length == 0 || length >= capacity) return false;
    std::memcpy(out, text, length);
    out[length] = '\0';
    return true;
}

// Length of `text` without the blanks at its end.
size_t TrimmedLength(const char* text, size_t length) {
    while (length > 0 && IsBlank(text[length - 1])) --length;
    return length;
}

}  // namespace

bool ResolveServiceCommand(const char* command, const char* windowsFolder, char* out, size_t capacity) {
    if (capacity == 0) return false;
    out[0] = '\0';
    while (IsBlank(*command)) ++command;
    bool fits;
    if (StartsWithNoCase(command, "\\SystemRoot\\")) {
        fits = CopyText(out, capacity, windowsFolder) && AppendText(out, capacity, command + std::strlen("\\SystemRoot"));
    } else if (StartsWithNoCase(command, "\\??\\")) {
        fits = CopyText(out, capacity, command + std::strlen("\\??\\"));
    } else {
        fits = CopyText(out, capacity, command);
    }
    if (!fits) out[0] = '\0';
    return fits;
}

bool ServiceProgramCandidate(const char* command, int index, char* out, size_t capacity) {
    if (capacity == 0 || index < 0) return false;
    out[0] = '\0';
    while (IsBlank(*command)) ++command;
    if (*command == '"') {
        if (index != 0) return false;
        const char* start = command + 1;
        const char* close = std::strchr(start, '"');
        const size_t length = close ? static_cast<size_t>(close - start) : std::strlen(start);
        return CopyPart(start, length, out, capacity);
    }
    const size_t whole = TrimmedLength(command, std::strlen(command));
    int seen = 0;
    for (size_t at = 0; at < whole; ++at) {
        // A cut at the first of several blanks stands for them all.
        if (!IsBlank(command[at]) || (at > 0 && IsBlank(command[at - 1]))) continue;
        if (seen++ == index) return CopyPart(command, at, out, capacity);
    }
    return seen == index && CopyPart(command, whole, out, capacity);
}
