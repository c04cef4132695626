// Helpers for the Windows-side tests that run under Wine: files, programs, waiting, restart.
#include "wine_test_support.h"

#include <cstdio>

namespace {
// Under a pipe the C runtime buffers stdout whole: a test program that dies would take every line
// it printed with it. Unbuffered, a failure shows how far the program got.
const int kUnbufferedOutput = setvbuf(stdout, nullptr, _IONBF, 0);
}  // namespace

std::string SupportProgramPath(const char* name) {
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string dir(self, n);
    dir.erase(dir.find_last_of('\\') + 1);
    return dir + name + ".exe";
}

bool MakeFolders(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            std::string part = path.substr(0, i);
            if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        }
    }
    return true;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash > 2) MakeFolders(path.substr(0, slash));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool WriteText(const std::string& path, const std::string& text) {
    return WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    DWORD size = GetFileSize(file, nullptr);
    bytes.resize(size);
    DWORD got = 0;
    if (size && (!ReadFile(file, bytes.data(), size, &got, nullptr) || got != size)) bytes.clear();
    CloseHandle(file);
    return bytes;
}

std::string ReadText(const std::string& path) {
    std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

HANDLE StartProgram(const std::string& commandLine, DWORD* processId) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return nullptr;
    CloseHandle(info.hThread);
    if (processId) *processId = info.dwProcessId;
    return info.hProcess;
}

void EndProgram(HANDLE process) {
    if (!process) return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 30000);
    CloseHandle(process);
}

HeldFile::HeldFile(const std::string& path) {
    // A name of its own per holder, so several files can be held at once.
    static int count = 0;
    std::string event = "PurgixLockerReady" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++count);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    process_ = StartProgram("\"" + SupportProgramPath("locker") + "\" \"" + path + "\" " + event);
    held_ = process_ && WaitForSingleObject(ready, 30000) == WAIT_OBJECT_0;
    CloseHandle(ready);
}

void HeldFile::Release() {
    EndProgram(process_);
    process_ = nullptr;
}

bool WaitForExit(HANDLE process, DWORD milliseconds) { return WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0; }

bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start > milliseconds) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool RestartMachine() {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    HANDLE boot = StartProgram(std::string(system) + "\\wineboot.exe -r");
    if (!boot) return false;
    bool ended = WaitForExit(boot, 120000);
    CloseHandle(boot);
    return ended;
}
