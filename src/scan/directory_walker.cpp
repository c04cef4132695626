// The recursive walk below a search pattern: status per entry, files to the checkers, pumping.
#include "scan/directory_walker.h"

#include <windows.h>

#include <io.h>

#include <cstring>
#include <string>

#include "core/entry_kind.h"
#include "core/path_text.h"
#include "core/report.h"
#include "core/scan_session.h"
#include "core/text.h"
#include "core/text_buffer.h"
#include "core/worm_facts.h"
#include "disinfect/file_checker.h"
#include "platform/handles.h"
#include "platform/path_forms.h"
#include "platform/wide_files.h"

const FileCheckerEntry FileCheckerTable[2] = {
    {kCheckerTableName, FileChecker},
    {nullptr, nullptr},
};

namespace {

// Result of a pass that ran to its end; the walk then goes on to the next pass.
constexpr int32_t kPassDone = 1;
// Folders below folders, as far as the wide walk goes: far beyond any real tree, and a bound on
// the stack for a folder that holds a link back to itself.
constexpr int kMaxWideDepth = 400;
// Longest name a folder entry may have, and the room a pattern's text needs beyond it.
constexpr size_t kMaxNameChars = 255;
constexpr size_t kPatternRoom = kMaxNameChars + 8;

// A drive root's walk remembers where its "Program Files" folder would be, so that ScanDriver
// can walk it once more if no walk ever descended into it under that exact name.
void NoteProgramFilesFolder(const char* pattern) {
    CopyText(Session.ProgramFilesPattern, sizeof Session.ProgramFilesPattern, pattern);
    char folder[sizeof Session.ProgramFilesPattern];
    if (!FormProgramFilesFolder(pattern, folder, sizeof folder)) return;
    CopyText(Session.ProgramFilesPattern, sizeof Session.ProgramFilesPattern, folder);
    if (_access(folder, 0) == 0) {
        Session.ProgramFilesPending = 1;
        AppendText(Session.ProgramFilesPattern, sizeof Session.ProgramFilesPattern, "\\*.*");
    }
}

template <typename FindData>
int64_t ListedSize(const FindData& entry) {
    return static_cast<int64_t>((static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow);
}

// A file of this volume whose data lies here: a link to a file, or a file kept elsewhere, is left
// to be met (if at all) where it lies.
template <typename FindData>
bool IsFileToCheck(const FindData& entry) {
    return !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !LeadsElsewhere(entry.dwFileAttributes, entry.dwReserved0) && !DataElsewhere(entry.dwFileAttributes);
}

// A folder the walk enters: not a link, junction or mount point, nor one listed from elsewhere.
template <typename FindData>
bool IsFolderToWalk(const FindData& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(entry.cFileName) &&
           !LeadsElsewhere(entry.dwFileAttributes, entry.dwReserved0) && !ListedFromElsewhere(entry.dwFileAttributes);
}

void OfferToCheckers(const char* path, int64_t listedSize) {
    for (const FileCheckerEntry* e = FileCheckerTable; e->detectionName && e->checker; ++e)
        if (e->checker(e->detectionName, path, listedSize)) break;
}

// The walk in ANSI text, the 9x line's. Its buffers live on the stack: no path it can name is
// longer than 259 characters.
struct AnsiSide {
    using Char = char;
    using FindData = WIN32_FIND_DATAA;
    static constexpr size_t kMaxChars = kMaxPathChars;
    struct Buffer {
        explicit Buffer(size_t) {}
        char* data() { return text; }
        size_t size() const { return sizeof text; }
        char text[kMaxPathChars + 1];
    };
    static HANDLE First(const char* pattern, FindData* entry) { return FindFirstFileA(pattern, entry); }
    static bool Next(HANDLE search, FindData* entry) { return FindNextFileA(search, entry) != FALSE; }
    static void Visit(const char* path, const FindData& entry) {
        ShowPathStatus(path);
        if (!IsFileToCheck(entry)) return;
        ++Session.ScanCounters.filesScanned;
        OfferToCheckers(path, ListedSize(entry));
    }
    static int32_t Descend(const char* childPattern, int) { return DirectoryWalker(childPattern); }
};

// The walk in wide text, the NT line's: names the ANSI code page lacks, paths past 259
// characters and names the ANSI functions would change are reached too. An entry the ANSI
// functions can name exactly is checked by them, as on every other line; the rest through the
// wide functions, at its true path, shown by its short form where it has one of its own.
struct WideSide {
    using Char = wchar_t;
    using FindData = WIN32_FIND_DATAW;
    static constexpr size_t kMaxChars = kMaxWidePathChars - 4;  // room for the "\\?\" prefix
    struct Buffer {
        explicit Buffer(size_t patternLength) : text(patternLength + kPatternRoom) {}
        wchar_t* data() { return text.data(); }
        size_t size() const { return text.size(); }
        TextBuffer<wchar_t> text;
    };
    static HANDLE First(const wchar_t* pattern, FindData* entry) {
        const PrefixedPath prefixed(pattern);
        if (!prefixed) return INVALID_HANDLE_VALUE;
        return NtWideFileFunctions()->findFirst(prefixed.get(), entry);
    }
    static bool Next(HANDLE search, FindData* entry) { return NtWideFileFunctions()->findNext(search, entry) != FALSE; }
    static void Visit(const wchar_t* path, const FindData& entry) {
        char ansi[kMaxPathChars + 1];
        const FileRoute route = RouteTo(path, ansi, sizeof ansi);
        if (route == FileRoute::kExactAnsi) {
            ShowPathStatus(ansi);
            if (!IsFileToCheck(entry)) return;
            ++Session.ScanCounters.filesScanned;
            OfferToCheckers(ansi, ListedSize(entry));
            return;
        }
        // Readable: up to three bytes a character where the ANSI code page is UTF-8.
        TextBuffer<char> readable(route == FileRoute::kWide ? std::wcslen(path) * 3 + 8 : 1);
        if (!readable) return;
        if (route == FileRoute::kWide) ReadableAnsi(path, readable.data(), readable.size());
        const char* shown = route == FileRoute::kShortAnsi ? ansi : readable.data();
        ShowPathStatus(shown);
        if (!IsFileToCheck(entry)) return;
        ++Session.ScanCounters.filesScanned;
        FileCheckerWide(path, shown, ListedSize(entry));
    }
    static int32_t Descend(const wchar_t* childPattern, int depth);
};

// First pass: every entry is shown, every file offered to the checkers.
template <typename Side>
int32_t WalkFiles(const typename Side::Char* pattern) {
    typename Side::FindData entry;
    OwnedSearch search(Side::First(pattern, &entry));
    if (!search) return kPassDone;
    typename Side::Buffer path(std::char_traits<typename Side::Char>::length(pattern));
    do {
        if (PumpAndCheckCancel()) return 0;
        const PathForm form = FormEntryPath(pattern, entry.cFileName, path.data(), path.size(), Side::kMaxChars);
        if (form == PathForm::kNoDot) return -1;
        // A path beyond the longest the functions take cannot be opened by name anyway; the
        // entry is passed over rather than cut into the name of some other file.
        if (form == PathForm::kFormed) Side::Visit(path.data(), entry);
        if (PumpAndCheckCancel()) return 0;
    } while (Side::Next(search.get(), &entry));
    return kPassDone;
}

// Second pass: every subfolder is walked depth first, in listing order.
template <typename Side>
int32_t WalkFolders(const typename Side::Char* pattern, int depth) {
    const size_t patternLength = std::char_traits<typename Side::Char>::length(pattern);
    typename Side::Buffer folderPattern(patternLength);
    if (FormFolderPassPattern(pattern, folderPattern.data(), folderPattern.size(), Side::kMaxChars) != PathForm::kFormed)
        return Session.ScanCounters.filesScanned;
    typename Side::FindData entry;
    OwnedSearch search(Side::First(folderPattern.data(), &entry));
    if (!search) return Session.ScanCounters.filesScanned;
    typename Side::Buffer child(patternLength);
    do {
        if (PumpAndCheckCancel()) return 0;
        if (IsFolderToWalk(entry)) {
            PathForm form = FormChildPattern(pattern, entry.cFileName, child.data(), child.size(), Side::kMaxChars);
            if (form == PathForm::kNoDot) return -1;
            // Too deep to name: its subtree is out of reach, so it ends here.
            if (form == PathForm::kFormed) {
                if (NamesProgramFilesFolder(child.data())) Session.ProgramFilesSeen = 1;
                if (Side::Descend(child.data(), depth + 1) == -1) return -1;
            }
        }
    } while (Side::Next(search.get(), &entry));
    return Session.ScanCounters.filesScanned;
}

// Both passes of one folder. The two passes live in their own frames, so only the folder pass's
// buffers stay on the stack while a subfolder is walked.
template <typename Side>
int32_t Walk(const typename Side::Char* pattern, int depth) {
    int32_t files = WalkFiles<Side>(pattern);
    if (files != kPassDone) return files;
    return WalkFolders<Side>(pattern, depth);
}

int32_t WideSide::Descend(const wchar_t* childPattern, int depth) {
    if (depth > kMaxWideDepth) return Session.ScanCounters.filesScanned;
    return Walk<WideSide>(childPattern, depth);
}

// The pattern in wide text, exactly as the ANSI text names it; false when it cannot be.
bool WidePattern(const char* pattern, TextBuffer<wchar_t>* wide) {
    return *wide && MultiByteToWideChar(CP_ACP, 0, pattern, -1, wide->data(), static_cast<int>(wide->size())) > 0;
}

}  // namespace

int32_t DirectoryWalker(const char* pattern) {
    char own[kMaxPathChars + 1];
    if (!CopyText(own, sizeof own, pattern)) return Session.ScanCounters.filesScanned;
    if (std::strlen(own) <= 6) NoteProgramFilesFolder(own);
    // Only the NT line's walk takes the heap: the 9x line's lives on the stack alone.
    if (NtWideFileFunctions()) {
        TextBuffer<wchar_t> wide(std::strlen(own) + 1);
        if (WidePattern(own, &wide)) return Walk<WideSide>(wide.data(), 0);
    }
    return Walk<AnsiSide>(own, 0);
}
