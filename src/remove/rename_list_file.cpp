// Adding an entry to the 9x rename list on disk, without ever leaving the list half written.
#include "remove/rename_list_file.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdlib>

#include "core/rename_list.h"
#include "core/text.h"

namespace {

// A rename list is a few lines; anything far larger is not a list we should rewrite.
constexpr long long kLargestList = 16LL * 1024 * 1024;

int RuntimeWrite(int fd, const void* data, unsigned count) { return _write(fd, data, count); }

class DescriptorSink final : public TextSink {
public:
    DescriptorSink(int fd, RenameListWriter writer) : fd_(fd), writer_(writer) {}
    bool Write(const char* data, size_t length) override {
        // One write per piece; anything short of the whole piece fails the rewrite.
        if (length > 0x7FFFFFFF) return false;
        unsigned count = static_cast<unsigned>(length);
        return writer_(fd_, data, count) == static_cast<int>(count);
    }

private:
    int fd_;
    RenameListWriter writer_;
};

// Reads a whole file into a fresh buffer (caller frees); false when it cannot be read in full.
bool ReadWholeFile(const char* path, char** data, size_t* size) {
    *data = nullptr;
    *size = 0;
    int fd = _open(path, _O_RDONLY | _O_BINARY);
    if (fd == -1) return false;
    bool ok = false;
    long long length = _filelengthi64(fd);
    if (length >= 0 && length <= kLargestList) {
        char* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
        size_t have = 0;
        while (buffer && have < static_cast<size_t>(length)) {
            int got = _read(fd, buffer + have, static_cast<unsigned>(static_cast<size_t>(length) - have));
            if (got <= 0) break;
            have += static_cast<size_t>(got);
        }
        if (buffer && have == static_cast<size_t>(length)) {
            *data = buffer;
            *size = have;
            ok = true;
        } else {
            std::free(buffer);
        }
    }
    _close(fd);
    return ok;
}

bool WriteNewList(const char* path, const char* old, size_t oldSize, const char* target, const char* source,
                  RenameListWriter writer) {
    int fd = _open(path, _O_WRONLY | _O_BINARY | _O_CREAT | _O_TRUNC, _S_IREAD | _S_IWRITE);
    if (fd == -1) return false;
    DescriptorSink sink(fd, writer);
    bool written = WriteRenameListWithEntry(old, oldSize, target, source, sink);
    bool closed = _close(fd) == 0;
    return written && closed;
}

// Puts the complete new list in place of the old one (or where none was). Only the 9x line keeps
// this list, and it has no replacing move (MoveFileEx is a stub there that always fails): delete,
// then move; the working copy restores a list lost between the two.
bool ReplaceList(const RenameListFiles& files, bool listExisted) {
    if (listExisted && !DeleteFileA(files.listPath)) return false;
    if (MoveFileA(files.newListPath, files.listPath)) return true;
    if (listExisted) CopyFileA(files.workingCopyPath, files.listPath, FALSE);
    return false;
}

}  // namespace

bool AddRenameListEntryAt(const RenameListFiles& files, const char* target, const char* source,
                          RenameListWriter writer) {
    if (!writer) writer = RuntimeWrite;
    bool listExisted = GetFileAttributesA(files.listPath) != INVALID_FILE_ATTRIBUTES;
    char* old = nullptr;
    size_t oldSize = 0;
    if (listExisted) {
        // A stale copy from an earlier run must never stand in for the current list.
        if (!CopyFileA(files.listPath, files.workingCopyPath, FALSE)) return false;
        if (!ReadWholeFile(files.workingCopyPath, &old, &oldSize)) return false;
    }
    bool done = WriteNewList(files.newListPath, old, oldSize, target, source, writer) && ReplaceList(files, listExisted);
    std::free(old);
    if (!done) DeleteFileA(files.newListPath);
    return done;
}

bool AddRenameListEntry(const char* target, const char* source) {
    char listPath[350] = "";
    char newListPath[350] = "";
    char workingCopyPath[MAX_PATH] = "";
    UINT length = GetWindowsDirectoryA(listPath, 350 - 16);
    if (length == 0 || length >= 350 - 16) return false;
    CopyText(newListPath, sizeof newListPath, listPath);
    if (!AppendText(listPath, sizeof listPath, "\\wininit.ini") || !AppendText(newListPath, sizeof newListPath, "\\wininit.new"))
        return false;
    DWORD tempLength = GetTempPathA(sizeof workingCopyPath, workingCopyPath);
    if (tempLength == 0 || tempLength >= sizeof workingCopyPath) return false;
    if (!AppendText(workingCopyPath, sizeof workingCopyPath, "wininit.ini")) return false;
    RenameListFiles files = {listPath, workingCopyPath, newListPath};
    return AddRenameListEntryAt(files, target, source);
}
