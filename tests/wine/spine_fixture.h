// Shared set-up of the scanning tests: a recording host, fresh scan state, sample files, listings.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/report.h"
#include "core/path_text.h"
#include "core/scan_session.h"
#include "core/signature_table.h"
#include "disinfect/file_checker.h"
#include "scan/directory_walker.h"
#include "engine_test.h"
#include "support/sample_builder.h"
#include "wine_test_support.h"

inline std::string RecordName(int index) { return SignatureTable[index].name; }

// Writes a file that matches table record `index`; false when it could not be written.
inline bool WriteSample(const std::string& path, int index, bool uniform = false) {
    std::vector<uint8_t> bytes = BuildMatchingSample(SignatureTable[index], uniform);
    return !bytes.empty() && WriteBytes(path, bytes);
}

inline std::string RemovedLine(const std::string& path, const std::string& name) {
    return path + "     " + name + " removed";
}

inline bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    for (const std::string& t : texts)
        if (t == text) return true;
    return false;
}

// Names FindFirstFileA lists for pattern, in listing order.
inline std::vector<WIN32_FIND_DATAA> ListEntries(const std::string& pattern) {
    std::vector<WIN32_FIND_DATAA> entries;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do entries.push_back(data);
    while (FindNextFileA(search, &data));
    FindClose(search);
    return entries;
}

inline bool IsDirectory(const WIN32_FIND_DATAA& e) { return (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
inline bool IsDots(const WIN32_FIND_DATAA& e) {
    return std::strcmp(e.cFileName, ".") == 0 || std::strcmp(e.cFileName, "..") == 0;
}

// Number of files (non-directories) below folder, counted from the listings.
inline int CountFiles(const std::string& folder) {
    int count = 0;
    for (const WIN32_FIND_DATAA& e : ListEntries(folder + "\\*.*")) {
        if (!IsDirectory(e))
            ++count;
        else if (!IsDots(e))
            count += CountFiles(folder + "\\" + e.cFileName);
    }
    return count;
}

// Wide text of an ASCII path, and whole files written and read through the wide functions
// (which reach names outside the code page and paths past 259 characters).
inline std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

inline bool WriteWide(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

inline std::vector<uint8_t> ReadWide(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    return bytes;
}

// The short form the system gives a path, as ANSI text ("" when it gives none).
inline std::string ShortForm(const std::wstring& widePath) {
    std::vector<wchar_t> shortPath(32768);
    DWORD n = GetShortPathNameW(widePath.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (n == 0 || n >= shortPath.size()) return "";
    std::wstring plain(shortPath.data(), n);
    if (plain.compare(0, 4, L"\\\\?\\") == 0) plain = plain.substr(4);
    return std::string(plain.begin(), plain.end());
}

// How the walk of the NT line shows an ASCII path: as it is where the ANSI functions can name it,
// else by its short form where that is short enough, else as it is once more (its readable form).
inline std::string ShownForm(const std::string& path) {
    if (path.size() <= kMaxPathChars) return path;
    const std::string shortForm = ShortForm(L"\\\\?\\" + Wide(path));
    return !shortForm.empty() && shortForm.size() <= kMaxPathChars ? shortForm : path;
}
