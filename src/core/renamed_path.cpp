// The name an infected file gets when the chosen action renames it instead of deleting it.
#include "core/renamed_path.h"

#include <cstring>

#include "core/text.h"

bool FormRenamedPath(const char* path, char* out, size_t capacity) {
    if (capacity == 0) return false;
    size_t length = std::strlen(path);
    const char* dot = std::strrchr(path, '.');
    // A trailing '.' has only the terminator after it; overwriting that would run the name into
    // whatever follows in memory, so the 'V' is appended instead.
    size_t needed = (dot && dot[1] == '\0') ? length + 1 : length;
    if (needed >= capacity) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, path, length);
    out[needed] = '\0';
    if (dot) out[dot - path + 1] = 'V';
    return true;
}
