// Rewriting of the 9x rename list (wininit.ini) as text: the new entry goes last in [rename].
#pragma once
#include <cstddef>

// Where the rewritten list goes, piece by piece. Write transfers all `length` bytes or fails.
class TextSink {
public:
    virtual bool Write(const char* data, size_t length) = 0;

protected:
    ~TextSink() = default;
};

// Writes to `out` the list `old` (oldSize bytes, possibly empty) with the entry
// target "=" source "\r\n" added as the last entry of the first [rename] section: before the
// header of the section that follows it, or at the end (with a "[rename]" header when the list
// has no such section). Every other byte is kept as it was; a last line without a line end
// gets one before an entry that follows it. False as soon as a write fails.
bool WriteRenameListWithEntry(const void* old, size_t oldSize, const char* target, const char* source,
                              TextSink& out);

// True when every part of `path` after the drive is an 8.3 name (at most 8 characters, optional
// '.' and at most 3 more), free of blanks and of characters the list cannot hold ('=', '[', ']',
// control characters). The 9x start-up only understands entries of this form.
bool IsShortPathForm(const char* path);
