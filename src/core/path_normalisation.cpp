// Whether Windows' own path handling would change a full path before a file function saw it.
#include "core/path_normalisation.h"

#include <cstddef>
#include <cstring>

#include "core/text.h"

namespace {

// The digits after COM and LPT that name a port: 1 to 9, and the superscript 1, 2 and 3 of the
// Western code page, which Windows takes for them too.
bool IsPortDigit(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return (c >= '1' && c <= '9') || u == 0xB9 || u == 0xB2 || u == 0xB3;
}

// The name part of a last component (before its first dot, blanks before it dropped) is a device.
bool NamesDevice(const char* name, size_t length) {
    while (length > 0 && name[length - 1] == ' ') --length;
    char lower[8];
    if (length == 0 || length > 7) return false;
    for (size_t i = 0; i < length; ++i) lower[i] = LowerAscii(name[i]);
    lower[length] = '\0';
    static const char* const kDevices[] = {"aux", "con", "nul", "prn", "conin$", "conout$"};
    for (const char* device : kDevices)
        if (std::strcmp(lower, device) == 0) return true;
    return length == 4 && (std::strncmp(lower, "com", 3) == 0 || std::strncmp(lower, "lpt", 3) == 0) &&
           IsPortDigit(name[3]);
}

}  // namespace

bool ChangedByPathNormalisation(const char* path) {
    const char* component = path;
    for (;;) {
        const char* end = std::strchr(component, '\\');
        const size_t length = end ? static_cast<size_t>(end - component) : std::strlen(component);
        if (length > 0 && (component[length - 1] == '.' || component[length - 1] == ' ')) return true;
        if (!end) {
            const char* dot = static_cast<const char*>(std::memchr(component, '.', length));
            return NamesDevice(component, dot ? static_cast<size_t>(dot - component) : length);
        }
        component = end + 1;
    }
}
