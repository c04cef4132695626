// The bare walk of make bench: every local fixed drive listed as the scan lists it (a folder's
// entries, then its subfolders, with FindFirstFileA), nothing shown, pumped or checked. Prints
// "files N", the count the scans must reach.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

long long Walk(const char* folder) {
    char pattern[MAX_PATH];
    if (snprintf(pattern, sizeof pattern, "%s\\*.*", folder) >= static_cast<int>(sizeof pattern)) return 0;
    long long files = 0;
    WIN32_FIND_DATAA entry;
    // First pass: the files.
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    // Second pass: the subfolders.
    search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(entry.cFileName)) continue;
        char child[MAX_PATH];
        if (snprintf(child, sizeof child, "%s\\%s", folder, entry.cFileName) < static_cast<int>(sizeof child))
            files += Walk(child);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return files;
}

}  // namespace

int main() {
    long long files = 0;
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        const char root[4] = {letter, ':', '\\', '\0'};
        if (GetDriveTypeA(root) != DRIVE_FIXED) continue;
        const char drive[3] = {letter, ':', '\0'};
        files += Walk(drive);
    }
    std::printf("files %lld\n", files);
    return 0;
}
