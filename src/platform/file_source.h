// An open file read at offsets, the way the checkers read files on every Windows line.
#pragma once
#include <windows.h>

#include <cstdint>

#include "core/bounded_reader.h"
#include "platform/handles.h"

// A file opened for reading (others may read and write it meanwhile), read at signed 32-bit
// offsets, as the runtime's seek has always taken them: a position at or above 2^31 cannot be
// reached, so a read there fails like a failed seek. Each read moves the file pointer and then
// reads: the 9x line refuses an OVERLAPPED position on a disk file.
class FileSource final : public ByteSource {
public:
    explicit FileSource(const char* path);
    // The same for a path the ANSI functions cannot name, through the NT line's wide functions.
    explicit FileSource(const wchar_t* path);
    bool opened() const { return static_cast<bool>(file_); }
    // The length, or -1 when it cannot be taken or does not fit 31 bits (GetFileSize, as
    // GetFileSizeEx is missing from the 9x line and NT 4).
    int32_t Length() const;
    bool ReadAt(uint64_t offset, void* out, size_t length) override;
    void Close() { file_.Close(); }

private:
    OwnedHandle file_;
};
