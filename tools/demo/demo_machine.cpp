// Makes a sandbox prefix look like a machine the worm has reached, and reports what is left of it.
//
//   demo_machine setup    writes harmless synthetic samples, autorun values and the uninstall entry,
//                         starts one running sample, has another held open; prints what it made
//   demo_machine report   prints, for everything setup made, whether it is still there, and what is
//                         scheduled for the next restart
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/signature_table.h"
#include "sample_builder.h"
#include "wine_test_support.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\rhcjg7j0e38v";

struct DemoFile {
    const char* path;
    int record;       // table index of the signature it carries; -1 for an ordinary file
    bool readOnly;
};

// Samples on two fixed drives (one read-only, one nested), and ordinary files that must survive.
const DemoFile kFiles[] = {
    {"C:\\windows\\system32\\vxupdate.exe", 32, false},
    {"C:\\Program Files\\Shareware\\Tools\\Bin\\helper.exe", 69, false},
    {"E:\\Downloads\\setup.exe", 18, true},
    {"C:\\users\\Public\\Documents\\letter.txt", -1, false},
    {"E:\\Photos\\holiday.txt", -1, false},
};
const char kRunningSample[] = "C:\\windows\\vorlexhost.exe";
// A sample another program keeps open: it cannot be deleted now and is scheduled for the restart.
const char kHeldSample[] = "E:\\Games\\patch.exe";
const int kHeldRecord = 50;

struct DemoValue {
    const char* key;
    const char* name;
    const char* data;
};

const DemoValue kValues[] = {
    {kRunKey, "VxUpdate", "vxupdate.exe /quiet"},                      // starts a sample by its bare name
    {kRunKey, "SMrhcjg7j0e38v", "C:\\windows\\rhcjg7j0e38v.exe"},      // the worm's companion value
    {kUninstallKey, "UninstallString", "C:\\windows\\rhcjg7j0e38v\\uninstall.exe"},
    {kRunKey, "DisplayHelper", "C:\\Program Files\\Vendor\\display.exe -tray"},  // unrelated: must survive
};

bool SetValue(const DemoValue& v) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, v.key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, v.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.data),
                                 static_cast<DWORD>(strlen(v.data) + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool ValuePresent(const DemoValue& v) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, v.key, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    LONG status = RegQueryValueExA(key, v.name, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// Has the locker program hold `path` open without delete sharing; true once it holds it.
bool HoldOpen(const char* path) {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "PurgixDemoHeld");
    HANDLE locker = StartProgram(SupportProgramPath("locker") + " \"" + path + "\" PurgixDemoHeld");
    bool held = locker && WaitForSingleObject(ready, 30000) == WAIT_OBJECT_0;
    if (locker) CloseHandle(locker);
    CloseHandle(ready);
    return held;
}

int Setup() {
    int failures = 0;
    for (const DemoFile& f : kFiles) {
        std::vector<uint8_t> bytes;
        if (f.record >= 0) {
            bytes = BuildMatchingSample(SignatureTable[f.record]);
        } else {
            std::string text = "An ordinary file that Purgix must leave alone.\r\n";
            bytes.assign(text.begin(), text.end());
        }
        bool ok = WriteBytes(f.path, bytes);
        if (ok && f.readOnly) ok = SetFileAttributesA(f.path, FILE_ATTRIBUTE_READONLY) != 0;
        printf("%-10s %s%s\n", f.record >= 0 ? "sample" : "ordinary", f.path, ok ? (f.readOnly ? " (read-only)" : "") : " FAILED");
        failures += !ok;
    }
    for (const DemoValue& v : kValues) {
        bool ok = SetValue(v);
        printf("%-10s HKLM\\%s  %s = %s%s\n", "registry", v.key, v.name, v.data, ok ? "" : " FAILED");
        failures += !ok;
    }
    std::vector<uint8_t> program = ReadBytes(SupportProgramPath("purgix_sleeper"));
    int record = PickRecordForRunnable(program);
    bool made = record >= 0 && MakeRunnableSample(program, SignatureTable[record]) && WriteBytes(kRunningSample, program);
    HANDLE process = made ? StartProgram(kRunningSample) : nullptr;
    printf("%-10s %s%s\n", "running", kRunningSample, process ? "" : " FAILED");
    if (process) CloseHandle(process);
    failures += !process;

    bool held = WriteBytes(kHeldSample, BuildMatchingSample(SignatureTable[kHeldRecord])) && HoldOpen(kHeldSample);
    printf("%-10s %s%s\n", "held open", kHeldSample, held ? "" : " FAILED");
    failures += !held;
    return failures ? 1 : 0;
}

void ReportPending() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        char data[8192] = {};
        DWORD size = sizeof data - 2;
        if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) ==
            ERROR_SUCCESS) {
            // Pairs of source and target; an empty target means "delete at restart".
            for (const char* p = data; *p && p < data + size;) {
                std::string source = p;
                p += source.size() + 1;
                std::string target = p;
                p += target.size() + 1;
                if (source.compare(0, 4, "\\??\\") == 0) source.erase(0, 4);
                printf("restart    %s %s\n", target.empty() ? "delete" : "move", source.c_str());
            }
        }
        RegCloseKey(key);
    }
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string list = ReadText(std::string(windows) + "\\wininit.ini");
    if (!list.empty()) printf("restart    wininit.ini:\n%s\n", list.c_str());
}

int Report() {
    for (const DemoFile& f : kFiles)
        printf("%-10s %-8s %s\n", f.record >= 0 ? "sample" : "ordinary", FileExists(f.path) ? "present" : "REMOVED", f.path);
    printf("%-10s %-8s %s\n", "running", FileExists(kRunningSample) ? "present" : "REMOVED", kRunningSample);
    printf("%-10s %-8s %s\n", "held open", FileExists(kHeldSample) ? "present" : "REMOVED", kHeldSample);
    for (const DemoValue& v : kValues)
        printf("%-10s %-8s HKLM\\%s  %s\n", "registry", ValuePresent(v) ? "present" : "REMOVED", v.key, v.name);
    ReportPending();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "setup") return Setup();
    if (command == "report") return Report();
    fprintf(stderr, "usage: demo_machine setup|report\n");
    return 2;
}
