// Shared set-up of the scanning tests: clean scan state, sample files, a dialog answerer, listings.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/window_host.h"
#include "core/report.h"
#include "core/path_text.h"
#include "core/scan_session.h"
#include "core/signature_table.h"
#include "detect/file_checker.h"
#include "scan/directory_walker.h"
#include "support/sample_builder.h"
#include "wine_test_support.h"

// Posted to the recorder window by a test to have the engine see a confirmed cancel.
constexpr UINT kCancelMessage = WM_APP + 1;

// The state a fresh program run starts a drive scan with, reporting to the same host.
inline void ResetScanState() {
    ScanHost* host = Session.host;
    Session = FreshScanSession();
    Session.host = host;
    Session.RemovalAction = kActionDelete;
    Session.MemoryScanMode = false;
}

inline std::string RecordName(int index) { return SignatureTable[index].name; }

// Writes a file that matches table record `index`; false when it could not be written.
inline bool WriteSample(const std::string& path, int index, bool uniform = false) {
    std::vector<uint8_t> bytes = BuildMatchingSample(SignatureTable[index], uniform);
    return !bytes.empty() && WriteBytes(path, bytes);
}

inline std::string RemovedLine(const std::string& path, const std::string& name) {
    return path + "     " + name + " removed";
}

// Answers every dialog of this process titled `title` with one button, from a thread of its own
// (the dialogs are modal on the test's thread). It never sends to a window: the test's thread may
// be blocked waiting for it.
class DialogAnswerer {
public:
    explicit DialogAnswerer(int button, const std::string& title = "Purgix Ver 1.0")
        : button_(button), title_(title.begin(), title.end()), thread_([this] { Run(); }) {}
    ~DialogAnswerer() { Finish(); }
    // Stops looking; afterwards answered() and texts() are final.
    void Finish() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    int answered() const { return answered_; }
    // The texts of the answered dialogs' child windows (read them after Finish).
    const std::vector<std::string>& texts() const { return texts_; }

private:
    struct Search {
        const std::wstring* title;
        HWND found;
    };
    static std::string StoredText(HWND window) {
        // Reads the stored text without sending WM_GETTEXT to the owning thread.
        wchar_t text[600] = L"";
        int n = InternalGetWindowText(window, text, 600);
        std::string narrow;
        for (int i = 0; i < n; ++i) narrow += static_cast<char>(text[i]);
        return narrow;
    }
    static BOOL CALLBACK Find(HWND window, LPARAM param) {
        auto* search = reinterpret_cast<Search*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        std::string title = StoredText(window);
        if (pid == GetCurrentProcessId() && std::wstring(title.begin(), title.end()) == *search->title &&
            IsWindowEnabled(window)) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK Collect(HWND child, LPARAM param) {
        reinterpret_cast<std::vector<std::string>*>(param)->push_back(StoredText(child));
        return TRUE;
    }
    void Run() {
        while (!stop_) {
            Search search = {&title_, nullptr};
            EnumWindows(Find, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                EnumChildWindows(search.found, Collect, reinterpret_cast<LPARAM>(&texts_));
                PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
                ++answered_;
                for (int i = 0; i < 3000 && IsWindow(search.found) && !stop_; ++i) Sleep(10);
            }
            Sleep(10);
        }
    }
    int button_;
    std::wstring title_;
    std::vector<std::string> texts_;
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
    std::thread thread_;
};

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

// Base fixture: a recorder window as the main window and a fresh scan state.
class SpineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetScanState();
        recorder.onMessage = [this](UINT message, WPARAM, LPARAM) {
            if (message == kCancelMessage) Session.ScanCancelled = true;
            if (message == UM_SHOWSTATUS && !Session.MemoryScanMode) driveStatuses.emplace_back(Session.StatusText);
            if (message == UM_SHOWSTATUS && cancelAtStatus && Session.StatusText == cancelStatus)
                PostMessageA(recorder.handle(), kCancelMessage, 0, 0);
            if (onOther) onOther(message);
        };
    }
    // Has a cancel confirmed right after the status `status` was shown.
    void CancelAfterStatus(const std::string& status) {
        cancelAtStatus = true;
        cancelStatus = status;
    }
    RecorderWindow recorder;
    std::vector<std::string> driveStatuses;  // the statuses shown outside the memory phase
    bool cancelAtStatus = false;
    std::string cancelStatus;
    std::function<void(UINT)> onOther;
};
