// Adding an entry to the 9x rename list on disk, without ever leaving the list half written.
#pragma once

// The files one rewrite touches.
struct RenameListFiles {
    const char* listPath;         // the rename list itself (wininit.ini in the Windows folder)
    const char* workingCopyPath;  // the old list's copy in the temporary folder, read back for the rewrite
    const char* newListPath;      // the rewritten list, renamed over the old one once complete
};

// Transfers up to `count` bytes to descriptor `fd`; returns the count transferred or -1 (as _write).
using RenameListWriter = int (*)(int fd, const void* data, unsigned count);

// Adds target "=" source to the [rename] section of the list in the Windows folder.
bool AddRenameListEntry(const char* target, const char* source);

// The same with explicit files. `writer` is the low-level write (null: the runtime's); the old
// list is replaced only after the whole new list was written, so a short write leaves it as it was.
bool AddRenameListEntryAt(const RenameListFiles& files, const char* target, const char* source,
                          RenameListWriter writer = nullptr);
