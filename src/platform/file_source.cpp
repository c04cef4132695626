// An open file read at offsets, the way the checkers read files on every Windows line.
#include "platform/file_source.h"

#include "platform/path_forms.h"
#include "platform/wide_files.h"

FileSource::FileSource(const char* path)
    : file_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {}

FileSource::FileSource(const wchar_t* path) {
    const WideFileFunctions* wide = NtWideFileFunctions();
    const PrefixedPath prefixed(path);
    if (!wide || !prefixed) return;
    *file_.out() = wide->createFile(prefixed.get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int32_t FileSource::Length() const {
    if (!file_) return -1;
    DWORD high = 0;
    const DWORD low = GetFileSize(file_.get(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return -1;
    if (high != 0 || low > 0x7FFFFFFF) return -1;
    return static_cast<int32_t>(low);
}

bool FileSource::ReadAt(uint64_t offset, void* out, size_t length) {
    if (!file_ || offset > 0x7FFFFFFFu || length > 0x7FFFFFFFu) return false;
    // Seeking past the end succeeds and reading nothing there delivers all of nothing.
    if (length == 0) return true;
    if (SetFilePointer(file_.get(), static_cast<LONG>(offset), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return false;
    DWORD got = 0;
    return ReadFile(file_.get(), out, static_cast<DWORD>(length), &got, nullptr) && got == length;
}
