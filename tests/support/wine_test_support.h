// Helpers for the Windows-side tests that run under Wine: files, programs, waiting, restart.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Path of a program built beside the running test program (name without ".exe").
std::string SupportProgramPath(const char* name);

// Whole-file helpers; they create missing parent folders when writing.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool WriteText(const std::string& path, const std::string& text);
std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
bool FileExists(const std::string& path);
bool MakeFolders(const std::string& path);

// Starts a program with a command line; the handle is owned by the caller (EndProgram closes it).
HANDLE StartProgram(const std::string& commandLine, DWORD* processId = nullptr);
void EndProgram(HANDLE process);
// True when the process ended within the time-out.
bool WaitForExit(HANDLE process, DWORD milliseconds);

// Holds a file open without delete sharing in another process (the locker program) for the life
// of the object, as a program using the file would.
class HeldFile {
public:
    explicit HeldFile(const std::string& path);
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    void Release();
    bool held() const { return held_; }

private:
    HANDLE process_ = nullptr;
    bool held_ = false;
};

// Calls `done` until it returns true or the time-out passes, pumping this thread's messages.
bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds = 30000);

// Restarts the machine as far as files go: runs wineboot -r, which carries out the pending
// deletions (delayed moves and wininit.ini). Programs holding files should be ended first.
bool RestartMachine();
