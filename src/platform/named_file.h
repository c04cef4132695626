// A file the removal acts on, named for the ANSI functions or, on the NT line, for the wide ones.
#pragma once
#include <windows.h>

// `shown` is the path for the lines and for the ANSI functions; `wide`, when set, is the file's
// true path (no "\\?\" prefix), which the wide functions act on instead: the ANSI functions cannot
// name it, and `shown` is only its readable form.
struct NamedFile {
    const char* shown;
    const wchar_t* wide;
};

// Attributes set to archive only, which clears read-only, hidden and system.
bool SetArchiveOnly(const NamedFile& file);
bool DeleteNamedFile(const NamedFile& file);
// Moves the file to the same name with the character after the last '.' made 'V'.
bool RenameNamedFile(const NamedFile& file);
