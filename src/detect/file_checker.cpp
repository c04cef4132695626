// Decides whether one file on disk is an infected executable and, if it is, removes it.
#include "detect/file_checker.h"

#include <windows.h>

#include <cstring>

#include "clean/autorun_clean.h"
#include "clean/uninstall_entry.h"
#include "core/pe_image.h"
#include "core/report.h"
#include "core/scan_session.h"
#include "core/signature_match.h"
#include "core/signature_table.h"
#include "core/text.h"
#include "platform/file_source.h"
#include "remove/removal_action.h"

namespace {

bool AnyRecordAcceptsLength(int64_t length) {
    return length >= 0 && length <= 0x7FFFFFFF && AnyRecordAcceptsSize(static_cast<int32_t>(length));
}

void ClearCurrentFilePath() { std::memset(Session.CurrentFilePath, 0, sizeof Session.CurrentFilePath); }

// Applies RemovalAction to an infected executable; a deletion takes the worm's uninstall entry with it.
void RemoveInfectedFile(const NamedFile& file, const char* name) {
    if (ApplyRemovalAction(Session.RemovalAction, file, name, kExecutableRemoval) == RemovalOutcome::kDeleted)
        CleanUninstallEntry();
}

// The record whose probes `file` matches, or -1; the file is closed when this returns.
int MatchingRecord(FileSource& file) {
    int record = -1;
    const int32_t length = file.Length();
    // The same gate for callers without a listing: the headers are only worth reading when
    // some record can accept this length.
    if (AnyRecordAcceptsLength(length)) {
        PeHeaders headers;
        if (ReadPeHeaders(file, &headers)) record = FindMatchingRecord(file, headers, length);
    }
    file.Close();
    return record >= 0 && record < kSignatureCount ? record : -1;
}

void HandleMatch(const SignatureRecord& record, const NamedFile& file) {
    // The table's names are terminated within their field; the copy makes sure of it.
    char name[sizeof record.name + 1];
    std::memcpy(name, record.name, sizeof record.name);
    name[sizeof record.name] = '\0';

    ++Session.ScanCounters.filesInfected;
    CleanAutorunAndHosts(name);
    CopyText(Session.LastDetectionName, sizeof Session.LastDetectionName, name);
    CopyText(Session.StatusText, sizeof Session.StatusText, file.shown);
    if (Session.MemoryScanMode) {
        // Recording only: the memory scan ends the process first and then asks for the removal.
        Session.MemoryHit = true;
        return;
    }
    RemoveInfectedFile(file, name);
}

// A length the folder listing gave that no record is keyed to. Nearly every file on a disk has
// one, and opening a file costs more than everything else the walk does for it. For such a length
// the full check would open the file (or fail to), skip the headers and every record on their size
// gate, clear CurrentFilePath (empty between checks anyway), close it and return 0: the same result
// and the same state as not opening it at all. The listing lags the file only while it is being
// written at that moment (or, on NTFS, for a hard link written through its other name); the open
// length is judged again whenever the listing's length passes the gate.
bool ListedLengthRulesOut() {
    return Session.KnownEntrySize >= 0 && !AnyRecordAcceptsLength(Session.KnownEntrySize);
}

// The memory scan has ended a process whose image matched and now hands over its file.
int32_t CarryOutPendingMemoryAction(const char* detectionName, const char* path) {
    Session.RemovalAction = Session.MemoryRemovalRequest;
    WriteReportLine("%s", "System Memory    W32/Vorlex.Trojan  removed");
    // The ended process needs a moment to let go of its image file.
    Sleep(1000);
    RemoveInfectedFile(NamedFile{path, nullptr}, detectionName);
    ClearCurrentFilePath();
    return 0;
}

}  // namespace

int32_t FileChecker(const char* detectionName, const char* path) {
    if (Session.MemoryRemovalRequest != 0 && Session.host) return CarryOutPendingMemoryAction(detectionName, path);
    if (Session.ScanCounters.filesInfected == 0) std::memset(Session.WormValueName, 0, sizeof Session.WormValueName);

    if (ListedLengthRulesOut()) return 0;

    FileSource file(path);
    if (!file.opened()) return 0;
    ClearCurrentFilePath();
    CopyText(Session.CurrentFilePath, sizeof Session.CurrentFilePath, path);
    const int record = MatchingRecord(file);
    if (record >= 0) HandleMatch(SignatureTable[record], NamedFile{path, nullptr});
    ClearCurrentFilePath();
    return record >= 0 ? 1 : 0;
}

int32_t FileCheckerWide(const char*, const wchar_t* widePath, const char* shown) {
    if (Session.ScanCounters.filesInfected == 0) std::memset(Session.WormValueName, 0, sizeof Session.WormValueName);
    if (ListedLengthRulesOut()) return 0;
    FileSource file(widePath);
    if (!file.opened()) return 0;
    // CurrentFilePath stays empty: the autorun values are judged against a path in ANSI text,
    // and this file has none that is exactly its own.
    ClearCurrentFilePath();
    const int record = MatchingRecord(file);
    if (record >= 0) HandleMatch(SignatureTable[record], NamedFile{shown, widePath});
    return record >= 0 ? 1 : 0;
}
