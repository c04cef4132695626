// The name an infected file gets when the chosen action renames it instead of deleting it.
#pragma once
#include <cstddef>

// The path with the character after its last '.' replaced by 'V' (x.dll becomes x.Vll); a path
// without '.' keeps its name, and one ending in '.' gets the 'V' appended. False when the result
// would not fit capacity (out is then empty).
// The same for the NT line's wide paths.
template <typename Char>
bool FormRenamedPath(const Char* path, Char* out, size_t capacity);
