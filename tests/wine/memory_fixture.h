// Running programs for the process and memory tests: clean sleepers, padded worm samples, message-box answers.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "processes/process_status_list.h"
#include "scan/memory_scan.h"
#include "spine_fixture.h"

// The signature record a padded copy of the sleeper matches, or -1.
inline int RunnableRecord() {
    return PickRecordForRunnable(ReadBytes(SupportProgramPath("purgix_sleeper")));
}

// A clean program that waits until it is ended.
inline bool WriteCleanProgram(const std::string& path) {
    std::vector<uint8_t> bytes = ReadBytes(SupportProgramPath("purgix_sleeper"));
    return !bytes.empty() && WriteBytes(path, bytes);
}

// A program that waits until it is ended and that the file checker flags as infected.
inline bool WriteRunnableWorm(const std::string& path, const char* program = "purgix_sleeper") {
    std::vector<uint8_t> bytes = ReadBytes(SupportProgramPath(program));
    int record = PickRecordForRunnable(bytes);
    return record >= 0 && MakeRunnableSample(bytes, SignatureTable[record]) && WriteBytes(path, bytes);
}

// True once the system gives the executable path of `processId` (a program just started may not
// have one yet). Asked of the process-status library itself, not through the engine: the engine
// keeps to the rules of the Windows line it runs on, and the 9x line has no such library.
inline bool IsListed(DWORD processId) {
    using ImagePathFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
    static const ImagePathFn imagePath = reinterpret_cast<ImagePathFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryA("psapi.dll"), "GetModuleFileNameExA")));
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return false;
    char path[MAX_PATH];
    const bool listed = imagePath && imagePath(process, nullptr, path, sizeof path) != 0;
    CloseHandle(process);
    return listed;
}

inline bool IsRunning(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }
inline bool EndsWithin(HANDLE process, DWORD milliseconds) { return WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0; }

// Programs a test started; whatever is still running is ended when the test is over.
class StartedPrograms {
public:
    ~StartedPrograms() {
        for (HANDLE process : processes_) EndProgram(process);
    }
    // Starts `path` and waits until it is fully listed; null on failure.
    HANDLE Start(const std::string& path, DWORD* processIdOut = nullptr) {
        DWORD processId = 0;
        HANDLE process = StartProgram("\"" + path + "\"", &processId);
        if (!process) return nullptr;
        processes_.push_back(process);
        if (!WaitUntil([&] { return IsListed(processId); })) return nullptr;
        if (processIdOut) *processIdOut = processId;
        return process;
    }

private:
    std::vector<HANDLE> processes_;
};

// The pair of lines a memory removal writes for a file.
inline std::vector<std::string> MemoryRemovalLines(const std::string& path) {
    return {"System Memory    W32/Vorlex.Trojan  removed", path + "     W32/Vorlex.Trojan  removed"};
}

// A scan test: recording host, fresh scan state, programs ended afterwards.
class MemoryTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_GE(RunnableRecord(), 0) << "the sleeper cannot be padded into a sample";
    }
    StartedPrograms programs;
};
