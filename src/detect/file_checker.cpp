// Decides whether one file on disk is an infected executable and, if it is, removes it.
#include "detect/file_checker.h"

#include <windows.h>

#include <cstring>

#include "clean/autorun_clean.h"
#include "common/bounded_reader.h"
#include "common/text.h"
#include "detect/detect_state.h"
#include "detect/pe_image.h"
#include "detect/renamed_path.h"
#include "detect/restart_removal.h"
#include "detect/signature_match.h"
#include "detect/signature_table.h"
#include "memory/memory_scan.h"
#include "scan/report.h"
#include "scan/scan_state.h"

int64_t KnownEntrySize = -1;

namespace {

// An open file read at signed 32-bit offsets, as the runtime's seek has always taken them: a
// position at or above 2^31 cannot be reached, so a probe there fails like a failed seek.
class FileHandleSource final : public ByteSource {
public:
    explicit FileHandleSource(HANDLE file) : file_(file) {}

    bool ReadAt(uint64_t offset, void* out, size_t length) override {
        if (offset > 0x7FFFFFFFu || length > 0x7FFFFFFFu) return false;
        // Seeking past the end succeeds and reading nothing there delivers all of nothing.
        if (length == 0) return true;
        // Move the file pointer, then read: the 9x line refuses a ReadFile with an OVERLAPPED
        // position on a disk file. Below 2^31 and without a high part, no position can be
        // mistaken for the failure value.
        if (SetFilePointer(file_, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
            return false;
        DWORD got = 0;
        if (!ReadFile(file_, out, static_cast<DWORD>(length), &got, nullptr)) return false;
        return got == length;
    }

private:
    HANDLE file_;
};

// The length of an open file, or -1 when it cannot be taken or does not fit 31 bits (no record
// is keyed to such a size, and the old runtime could not report it either).
// GetFileSize rather than GetFileSizeEx: the latter is missing from Windows 9x and NT 4.
int32_t FileLength(HANDLE file) {
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return -1;
    if (high != 0 || low > 0x7FFFFFFF) return -1;
    return static_cast<int32_t>(low);
}

bool AnyRecordAcceptsLength(int64_t length) {
    return length >= 0 && length <= 0x7FFFFFFF && AnyRecordAcceptsSize(static_cast<int32_t>(length));
}

void ClearCurrentFilePath() { std::memset(CurrentFilePath, 0, sizeof CurrentFilePath); }

void DeleteInfectedFile(const char* path, const char* name) {
    // Archive only: clears read-only, hidden and system, which would each refuse the deletion.
    if (!SetFileAttributesA(path, FILE_ATTRIBUTE_ARCHIVE)) {
        WriteReportLine("%s     %s Unable to remove", StatusText, LastDetectionName);
        return;
    }
    if (DeleteFileA(path)) {
        ++ScanCounters.filesRemoved;
        CleanUninstallEntry();
        WriteReportLine("%s     %s removed", path, name);
        return;
    }
    // In use: end whatever runs it and try once more before leaving it to the next restart.
    if (KillFileProcesses(path) && DeleteFileA(path)) {
        CleanUninstallEntry();
        ++ScanCounters.filesRemoved;
        WriteReportLine("%s     %s removed", path, name);
        return;
    }
    WriteReportLine("%s     %s Unable to remove", path, name);
    // Assigned, not accumulated: the prompt follows the latest scheduling's outcome.
    RestartNeeded = ScheduleRemovalAtRestart(path);
}

void RenameInfectedFile(const char* path, const char* name) {
    char target[kPathBufferSize];
    if (FormRenamedPath(path, target, sizeof target) && MoveFileA(path, target))
        WriteReportLine("%s     %s renamed", path, name);
    else
        WriteReportLine("%s     %s Rename failed", path, name);
}

void HandleMatch(const SignatureRecord& record, const char* path) {
    // The table's names are terminated within their field; the copy makes sure of it.
    char name[sizeof record.name + 1];
    std::memcpy(name, record.name, sizeof record.name);
    name[sizeof record.name] = '\0';

    ++ScanCounters.filesInfected;
    CleanAutorunAndHosts(name);
    CopyText(LastDetectionName, sizeof LastDetectionName, name);
    CopyText(StatusText, sizeof StatusText, path);
    if (MemoryScanMode) {
        // Recording only: the memory scan ends the process first and then asks for the removal.
        MemoryHit = true;
        return;
    }
    ApplyRemovalAction(path, name);
}

// The memory scan has ended a process whose image matched and now hands over its file.
int32_t CarryOutPendingMemoryAction(const char* detectionName, const char* path) {
    RemovalAction = MemoryRemovalRequest;
    WriteReportLine("%s", "System Memory    W32/Vorlex.Trojan  removed");
    // The ended process needs a moment to let go of its image file.
    Sleep(1000);
    ApplyRemovalAction(path, detectionName);
    ClearCurrentFilePath();
    return 0;
}

}  // namespace

void ApplyRemovalAction(const char* path, const char* name) {
    switch (RemovalAction) {
    case kActionDelete:
    case kActionDelete2:
        DeleteInfectedFile(path, name);
        break;
    case kActionRename:
        RenameInfectedFile(path, name);
        break;
    case kActionLeave:
        WriteReportLine("%s     %s not disinfected as per user's selection", StatusText, LastDetectionName);
        break;
    default:
        break;
    }
}

int32_t FileChecker(const char* detectionName, const char* path) {
    if (MemoryRemovalRequest != 0 && MainWindowHandle) return CarryOutPendingMemoryAction(detectionName, path);
    if (ScanCounters.filesInfected == 0) std::memset(WormValueName, 0, sizeof WormValueName);

    // Nearly every file on a disk has a length no record is keyed to, and opening a file costs
    // more than everything else the walk does for it. For such a length the full check below
    // would open the file (or fail to), skip the headers and every record on their size gate,
    // clear CurrentFilePath (empty between checks anyway), close it and return 0: the same
    // result and the same state as not opening it at all. So a length known from the folder
    // listing is judged before the open. The listing lags the file only while it is being
    // written at that moment (or, on NTFS, for a hard link written through its other name); the
    // open length below is judged again whenever the listing's length passes the gate.
    if (KnownEntrySize >= 0 && !AnyRecordAcceptsLength(KnownEntrySize)) return 0;

    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    ClearCurrentFilePath();
    CopyText(CurrentFilePath, sizeof CurrentFilePath, path);

    int record = -1;
    int32_t length = FileLength(file);
    // The same gate for callers without a listing: the headers are only worth reading when
    // some record can accept this length.
    if (AnyRecordAcceptsLength(length)) {
        FileHandleSource source(file);
        PeHeaders headers;
        if (ReadPeHeaders(source, &headers)) record = FindMatchingRecord(source, headers, length);
    }
    CloseHandle(file);

    int32_t found = 0;
    if (record >= 0 && record < kSignatureCount) {
        HandleMatch(SignatureTable[record], path);
        found = 1;
    }
    ClearCurrentFilePath();
    return found;
}
