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

// A path the system takes as it is: with a drive (C:\...), a network path or rooted at the drive.
bool IsAnchored(const char* path) { return path[0] == '\\' || path[0] == '/' || (path[0] && path[1] == ':'); }

bool HasExtension(const char* path) {
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (*c == '\\' || *c == '/') name = c + 1;
    return std::strchr(name, '.') != nullptr;
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

bool ServiceProgramLocation(const char* program, const char* systemFolder, const char* windowsFolder, int index,
                            char* out, size_t capacity) {
    if (capacity == 0 || index < 0 || !*program) return false;
    out[0] = '\0';
    // Without an extension the system adds ".exe" and looks for that first.
    const int spellings = HasExtension(program) ? 1 : 2;
    const char* const folders[] = {systemFolder, windowsFolder};
    const int folderCount = IsAnchored(program) ? 1 : 2;
    if (index >= folderCount * spellings) return false;
    const int folder = index / spellings;
    const bool withExe = spellings == 2 && index % spellings == 0;
    bool fits = true;
    if (IsAnchored(program)) {
        fits = CopyText(out, capacity, program);
    } else {
        fits = CopyText(out, capacity, folders[folder]) && AppendText(out, capacity, "\\") &&
               AppendText(out, capacity, program);
    }
    if (fits && withExe) fits = AppendText(out, capacity, ".exe");
    if (!fits) out[0] = '\0';
    return fits;
}
