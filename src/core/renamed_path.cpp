// The name an infected file gets when the chosen action renames it instead of deleting it.
#include "core/renamed_path.h"

#include <string>

template <typename Char>
bool FormRenamedPath(const Char* path, Char* out, size_t capacity) {
    if (capacity == 0) return false;
    const size_t length = std::char_traits<Char>::length(path);
    const Char* dot = nullptr;
    for (const Char* c = path; *c; ++c)
        if (*c == Char('.')) dot = c;
    // A trailing '.' has only the terminator after it; overwriting that would run the name into
    // whatever follows in memory, so the 'V' is appended instead.
    const size_t needed = (dot && dot[1] == Char(0)) ? length + 1 : length;
    if (needed >= capacity) {
        out[0] = Char(0);
        return false;
    }
    std::char_traits<Char>::copy(out, path, length);
    out[needed] = Char(0);
    if (dot) out[dot - path + 1] = Char('V');
    return true;
}

template bool FormRenamedPath(const char*, char*, size_t);
template bool FormRenamedPath(const wchar_t*, wchar_t*, size_t);
