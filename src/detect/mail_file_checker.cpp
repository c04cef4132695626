// Removal of a uuencoded mail file that carries a known worm body (the hosts file is handed here).
#include "detect/mail_file_checker.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstring>

#include "clean/autorun_clean.h"
#include "common/text.h"
#include "detect/detect_state.h"
#include "detect/mail_scan.h"
#include "detect/renamed_path.h"
#include "scan/report.h"
#include "scan/scan_state.h"

namespace {

// Random access to an open descriptor; every read is whole or fails.
class DescriptorSource final : public ByteSource {
public:
    explicit DescriptorSource(int fd) : fd_(fd) {}
    bool ReadAt(uint64_t offset, void* out, size_t length) override {
        if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
        if (_lseeki64(fd_, static_cast<int64_t>(offset), SEEK_SET) != static_cast<int64_t>(offset)) return false;
        size_t have = 0;
        while (have < length) {
            size_t want = length - have < 0x10000 ? length - have : 0x10000;
            int got = _read(fd_, static_cast<char*>(out) + have, static_cast<unsigned>(want));
            if (got <= 0) return false;
            have += static_cast<size_t>(got);
        }
        return true;
    }

private:
    int fd_;
};

}  // namespace

int32_t MailFileChecker(const char*, const char* path) {
    int fd = _open(path, _O_RDONLY | _O_BINARY);
    if (fd == -1) return 0;
    DescriptorSource file(fd);
    static MailBlocks blocks;
    const MailSignatureRecord* record = ScanMailFile(file, _filelengthi64(fd), &blocks);
    if (record) {
        ++ScanCounters.filesInfected;
        CopyText(LastDetectionName, sizeof LastDetectionName, record->name);
        CopyText(StatusText, sizeof StatusText, path);
    }
    _close(fd);
    if (!record) return 0;

    switch (RemovalAction) {
    case kActionDelete:
    case kActionDelete2:
        if (DeleteFileA(path)) {
            ++ScanCounters.filesRemoved;
            CleanUninstallEntry();
            WriteReportLine("%s     %s removed", path, record->name);
        } else {
            WriteReportLine("%s     %s Remove failed", path, record->name);
        }
        break;
    case kActionRename: {
        char renamed[MAX_PATH + 1];
        if (FormRenamedPath(path, renamed, sizeof renamed) && MoveFileA(path, renamed)) {
            WriteReportLine("%s     %s renamed", path, record->name);
        } else {
            WriteReportLine("%s     %s Rename failed", path, record->name);
        }
        break;
    }
    case kActionLeave:
        WriteReportLine("%s     %s Not Disinfected As Per User's Selection", StatusText, LastDetectionName);
        break;
    default:
        break;
    }
    return 1;
}
