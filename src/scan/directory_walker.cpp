// The recursive walk below a search pattern: status per entry, files to the checkers, pumping.
#include "scan/directory_walker.h"

#include <windows.h>

#include <io.h>

#include <cstring>

#include "core/path_text.h"
#include "core/report.h"
#include "core/scan_session.h"
#include "core/text.h"
#include "detect/file_checker.h"
#include "platform/handles.h"

const FileCheckerEntry FileCheckerTable[2] = {
    {"W32/Vorlex.Trojan ", FileChecker},
    {nullptr, nullptr},
};

namespace {

constexpr int16_t kStatusWidth = 60;
// Result of a pass that ran to its end; the walk then goes on to the next pass.
constexpr int32_t kPassDone = 1;

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

int64_t ListedSize(const WIN32_FIND_DATAA& entry) {
    return static_cast<int64_t>((static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow);
}

void OfferToCheckers(const char* path, const WIN32_FIND_DATAA& entry) {
    // In the memory phase the checker is handed the pattern itself, not the listed entry, so
    // the listing's size need not be that file's: the checker then takes the length itself.
    Session.KnownEntrySize = Session.MemoryScanMode ? -1 : ListedSize(entry);
    for (const FileCheckerEntry* e = FileCheckerTable; e->detectionName && e->checker; ++e)
        if (e->checker(e->detectionName, path)) break;
    Session.KnownEntrySize = -1;
}

// First pass: every entry is shown, every file offered to the checkers.
int32_t WalkFiles(const char* pattern) {
    WIN32_FIND_DATAA entry;
    OwnedSearch search(FindFirstFileA(pattern, &entry));
    if (!search) return kPassDone;
    do {
        if (PumpAndCheckCancel()) return 0;
        char path[kMaxPathChars + 1];
        PathForm form = PathForm::kFormed;
        if (Session.MemoryScanMode)
            CopyText(path, sizeof path, pattern);
        else
            form = FormEntryPath(pattern, entry.cFileName, path, sizeof path);
        if (form == PathForm::kNoDot) return -1;
        // A path beyond 259 characters cannot be opened by name here anyway; the entry is
        // passed over rather than cut into the name of some other file.
        if (form == PathForm::kFormed) {
            char shown[kMaxPathChars + 1];
            ShortenPath(path, shown, sizeof shown, kStatusWidth);
            ShowStatus(shown);
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                if (!Session.MemoryScanMode) ++Session.ScanCounters.filesScanned;
                OfferToCheckers(path, entry);
            }
        }
        if (PumpAndCheckCancel()) return 0;
    } while (FindNextFileA(search.get(), &entry));
    return kPassDone;
}

// Second pass: every subfolder is walked depth first, in listing order.
int32_t WalkFolders(const char* pattern) {
    char folderPattern[kMaxPathChars + 1];
    if (FormFolderPassPattern(pattern, folderPattern, sizeof folderPattern) != PathForm::kFormed)
        return Session.ScanCounters.filesScanned;
    WIN32_FIND_DATAA entry;
    OwnedSearch search(FindFirstFileA(folderPattern, &entry));
    if (!search) return Session.ScanCounters.filesScanned;
    do {
        if (PumpAndCheckCancel()) return 0;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(entry.cFileName)) {
            char child[kMaxPathChars + 1];
            PathForm form = FormChildPattern(pattern, entry.cFileName, child, sizeof child);
            if (form == PathForm::kNoDot) return -1;
            // Too deep to name: its subtree is out of reach of the ANSI functions, so it ends here.
            if (form == PathForm::kFormed) {
                if (NamesProgramFilesFolder(child)) Session.ProgramFilesSeen = 1;
                if (DirectoryWalker(child) == -1) return -1;
            }
        }
    } while (FindNextFileA(search.get(), &entry));
    return Session.ScanCounters.filesScanned;
}

}  // namespace

int32_t DirectoryWalker(const char* pattern) {
    Session.MemoryHit = false;
    // The two passes live in their own frames, so only the folder pass's buffers stay on the
    // stack while a subfolder is walked: the depth is bounded by the path length alone.
    char own[kMaxPathChars + 1];
    if (!CopyText(own, sizeof own, pattern)) return Session.ScanCounters.filesScanned;
    if (std::strlen(own) <= 6) NoteProgramFilesFolder(own);
    int32_t files = WalkFiles(own);
    if (files != kPassDone) return files;
    // The memory phase hands over one executable: folders beside it (name.data, name) are none
    // of its business, and a walk of them would clear the hit its file has just given.
    if (Session.MemoryScanMode) return Session.ScanCounters.filesScanned;
    return WalkFolders(own);
}
