// The verdict on one file: is it the worm, and which signature record says so.
#include "detect/worm_verdict.h"

#include "core/pe_image.h"
#include "core/signature_match.h"
#include "core/signature_table.h"
#include "platform/file_source.h"

namespace {

bool AnyRecordAcceptsLength(int64_t length) {
    return length >= 0 && length <= 0x7FFFFFFF && AnyRecordAcceptsSize(static_cast<int32_t>(length));
}

// A length the folder listing gave that no record is keyed to. Nearly every file on a disk has
// one, and opening a file costs more than everything else the walk does for it. For such a length
// the full check would open the file (or fail to), skip the headers and every record on their size
// gate, close it and find nothing: the same verdict as not opening it at all. The listing lags the
// file only while it is being written at that moment (or, on NTFS, for a hard link written through
// its other name); the open length is judged again whenever the listing's length passes the gate.
bool ListedLengthRulesOut(int64_t listedSize) { return listedSize >= 0 && !AnyRecordAcceptsLength(listedSize); }

// The record whose probes `file` matches, or -1; the file is closed when this returns.
int MatchingRecord(FileSource& file) {
    if (!file.opened()) return -1;
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

template <typename Char>
int MatchAt(const Char* path, int64_t listedSize) {
    if (ListedLengthRulesOut(listedSize)) return -1;
    FileSource file(path);
    return MatchingRecord(file);
}

}  // namespace

int MatchWormRecord(const char* path, int64_t listedSize) { return MatchAt(path, listedSize); }

int MatchWormRecord(const wchar_t* path, int64_t listedSize) { return MatchAt(path, listedSize); }
