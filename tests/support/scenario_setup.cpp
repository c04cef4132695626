// Builds an infected machine inside a test prefix and reads it back, one command per input line.
//
// Fields are separated by tabs; every command answers one or more lines, the last "ok ..." or
// "error ..."; the exit status is 1 when any command failed. Commands:
//   sample PATH INDEX [ATTRS]     a file the checker flags as table record INDEX; ATTRS of r h s
//   nearmiss PATH INDEX KIND      a file that misses record INDEX in one respect (NearMiss name)
//   runnable PATH PROGRAM         T:\bin\PROGRAM.exe padded into a running-capable matching file
//   program PATH PROGRAM          a clean copy of T:\bin\PROGRAM.exe
//                                 (PROGRAM may also be a full path, for a program of the other bitness)
//   start COMMAND-LINE            starts a program (UTF-8, any script), waits until it is listed;
//                                 answers its process id
//   service NAME PATH             registers PATH as a started service NAME (with its stored keys)
//   lock PATH                     a locker process holds PATH without delete sharing; answers its id
//   hosts PATH                    a uuencoded mail file carrying the mail signature across lines
//   reg KEY NAME sz|expand DATA   a string value under HKEY_LOCAL_MACHINE (name and data in UTF-8)
//   regdump KEY                   every subkey and value below HKLM\KEY, one line each
//   pending                       the deletions and moves registered for the next restart
//   shortpath PATH                the short form of PATH
//   shortpath-wide PATH           the short form of PATH given in UTF-8, of any length or script
//   temppath                      the temporary folder, as GetTempPathA gives it
//   list PATTERN                  the names FindFirstFileA/FindNextFileA give, in their order
//   alive PID                     1 when the process still runs, else 0
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/mail_scan.h"
#include "core/signature_table.h"
#include "sample_builder.h"
#include "utf8_text.h"
#include "wine_test_support.h"

namespace {

using Words = std::vector<std::string>;

Words SplitTabs(const std::string& line) {
    Words words;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        words.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return words;
        start = tab + 1;
    }
}

std::string Hex(const BYTE* data, DWORD size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (DWORD i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

// A support program by name (T:\bin\NAME.exe), or any program by its full path.
std::string ProgramSource(const std::string& program) {
    return program.find('\\') != std::string::npos ? program : SupportProgramPath(program.c_str());
}

bool ParseRecord(const std::string& text, int* index) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || value < 0 || value >= kSignatureCount) return false;
    *index = static_cast<int>(value);
    return true;
}

bool SetAttributes(const std::string& path, const std::string& letters) {
    DWORD attributes = 0;
    for (char c : letters) {
        if (c == 'r') attributes |= FILE_ATTRIBUTE_READONLY;
        else if (c == 'h') attributes |= FILE_ATTRIBUTE_HIDDEN;
        else if (c == 's') attributes |= FILE_ATTRIBUTE_SYSTEM;
        else return false;
    }
    return attributes == 0 || SetFileAttributesA(path.c_str(), attributes) != 0;
}

// A process counts as started once the process-status library lists it with its path, as the
// memory scan will look for it.
bool WaitListed(DWORD processId) {
    return WaitUntil([processId] {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
        if (!process) return false;
        char path[MAX_PATH];
        DWORD n = GetModuleFileNameExA(process, nullptr, path, sizeof path);
        CloseHandle(process);
        return n > 0;
    }, 60000);
}

// The command line comes in UTF-8: a program in a folder outside the code page starts too.
std::string StartListed(const std::string& commandLine) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::wstring line = Widen(commandLine);
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return "error cannot start " + commandLine;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    const DWORD processId = info.dwProcessId;
    if (!WaitListed(processId)) return "error never listed: " + commandLine;
    return "ok " + std::to_string(processId);
}

bool CreateKeyPath(const std::string& path) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Name and data come in UTF-8, and are stored as the wide text they spell.
bool SetString(const std::string& keyPath, const std::string& name, DWORD type, const std::string& data) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const std::wstring wideName = Widen(name), wideData = Widen(data);
    LONG status = RegSetValueExW(key, wideName.c_str(), 0, type, reinterpret_cast<const BYTE*>(wideData.c_str()),
                                 static_cast<DWORD>((wideData.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::string RegisterService(const std::string& name, const std::string& path) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return "error no service manager";
    std::string command = "\"" + path + "\" normal";
    SC_HANDLE service = CreateServiceA(manager, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                       SERVICE_AUTO_START, SERVICE_ERROR_IGNORE, command.c_str(), nullptr, nullptr,
                                       nullptr, nullptr, nullptr);
    std::string answer = "error cannot create service " + name;
    if (service) {
        SERVICE_STATUS_PROCESS status = {};
        DWORD needed = 0;
        auto query = [&] {
            return QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                                        &needed) != FALSE;
        };
        if (!StartServiceA(service, 0, nullptr)) answer = "error cannot start service " + name;
        else if (!WaitUntil([&] { return query() && status.dwCurrentState == SERVICE_RUNNING; }, 60000))
            answer = "error service never running " + name;
        else if (!WaitListed(status.dwProcessId)) answer = "error service process never listed";
        else answer = "ok " + std::to_string(status.dwProcessId);
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    // Windows keeps a service's keys in the stored control sets as well; Wine has only the current one.
    if (answer.compare(0, 2, "ok") == 0) {
        for (const char* set : {"ControlSet001", "ControlSet002"}) {
            std::string base = std::string("SYSTEM\\") + set + "\\Services\\" + name;
            if (!CreateKeyPath(base + "\\Enum") || !CreateKeyPath(base + "\\Security") ||
                !SetString(base, "ImagePath", REG_EXPAND_SZ, command))
                return "error service keys";
        }
    }
    return answer;
}

std::string LockFile(const std::string& path) {
    char eventName[64];
    std::snprintf(eventName, sizeof eventName, "PurgixScenarioLock_%lu_%lu", GetCurrentProcessId(), GetTickCount());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, eventName);
    if (!ready) return "error no event";
    DWORD processId = 0;
    HANDLE locker = StartProgram("\"" + SupportProgramPath("locker") + "\" \"" + path + "\" " + eventName, &processId);
    std::string answer = "error cannot start locker";
    if (locker) {
        HANDLE waits[2] = {ready, locker};
        DWORD which = WaitForMultipleObjects(2, waits, FALSE, 60000);
        answer = which == WAIT_OBJECT_0 ? "ok " + std::to_string(processId) : "error locker never held " + path;
        CloseHandle(locker);
    }
    CloseHandle(ready);
    return answer;
}

// A uuencoded attachment of 61-character lines whose body carries the plain signature about 1800
// characters in; the signature runs across line breaks, as a mail body would carry it.
std::vector<uint8_t> MailFile() {
    std::string text = "begin 644 document.zip\r\n";
    const uint8_t* signature = MailSignaturePlain(0);
    const size_t length = kMailSignatureTable[0].length;
    std::string body;
    for (int i = 0; body.size() < 1790; ++i) body += static_cast<char>('!' + (i * 7) % 64);
    body.append(reinterpret_cast<const char*>(signature), length);
    for (int i = 0; body.size() < 6000; ++i) body += static_cast<char>('!' + (i * 13) % 64);
    for (size_t at = 0; at < body.size(); at += 61) text += body.substr(at, 61) + "\r\n";
    text += "`\r\nend\r\n";
    return std::vector<uint8_t>(text.begin(), text.end());
}

void DumpKey(const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    std::printf("key\t%s\n", path.c_str());
    static char name[16384];
    static BYTE data[65536];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, type = 0, dataSize = sizeof data;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        std::printf("value\t%s\t%s\t%lu\t%s\n", path.c_str(), name, type, Hex(data, dataSize).c_str());
    }
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& child : children) DumpKey(path + "\\" + child);
}

void PrintPending() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return;
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size() - 2);
    if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                         &size) == ERROR_SUCCESS) {
        // Pairs of source and target; an empty target means deletion.
        for (const char* p = data.data(); *p && p < data.data() + size;) {
            std::string source = p;
            p += source.size() + 1;
            std::string target = p;
            p += target.size() + 1;
            std::printf("pending\t%s\t%s\n", source.c_str(), target.c_str());
        }
    }
    RegCloseKey(key);
}

std::string Run(const Words& w) {
    const std::string& cmd = w[0];
    auto arg = [&](size_t i) { return i < w.size() ? w[i] : std::string(); };
    int index = 0;
    if (cmd == "sample") {
        if (!ParseRecord(arg(2), &index)) return "error bad record " + arg(2);
        if (!WriteBytes(arg(1), BuildMatchingSample(SignatureTable[index]))) return "error cannot write " + arg(1);
        return SetAttributes(arg(1), arg(3)) ? "ok" : "error attributes " + arg(1);
    }
    if (cmd == "nearmiss") {
        NearMiss kind;
        if (!ParseRecord(arg(2), &index) || !ParseNearMiss(arg(3).c_str(), &kind)) return "error bad near miss";
        std::vector<uint8_t> bytes = BuildNearMiss(SignatureTable[index], kind);
        return !bytes.empty() && WriteBytes(arg(1), bytes) ? "ok" : "error cannot write " + arg(1);
    }
    if (cmd == "runnable") {
        std::vector<uint8_t> bytes = ReadBytes(ProgramSource(arg(2)));
        int record = PickRecordForRunnable(bytes);
        if (record < 0 || !MakeRunnableSample(bytes, SignatureTable[record])) return "error cannot pad " + arg(2);
        return WriteBytes(arg(1), bytes) ? "ok " + std::to_string(record) : "error cannot write " + arg(1);
    }
    if (cmd == "program") {
        std::vector<uint8_t> bytes = ReadBytes(ProgramSource(arg(2)));
        return !bytes.empty() && WriteBytes(arg(1), bytes) ? "ok" : "error cannot write " + arg(1);
    }
    if (cmd == "start") return StartListed(arg(1));
    if (cmd == "service") return RegisterService(arg(1), arg(2));
    if (cmd == "lock") return LockFile(arg(1));
    if (cmd == "hosts") return WriteBytes(arg(1), MailFile()) ? "ok" : "error cannot write " + arg(1);
    if (cmd == "reg") {
        DWORD type = arg(3) == "expand" ? REG_EXPAND_SZ : REG_SZ;
        return SetString(arg(1), arg(2), type, arg(4)) ? "ok" : "error cannot set " + arg(2);
    }
    if (cmd == "regdump") {
        DumpKey(arg(1));
        return "ok";
    }
    if (cmd == "pending") {
        PrintPending();
        return "ok";
    }
    if (cmd == "shortpath") {
        char shortPath[MAX_PATH];
        DWORD n = GetShortPathNameA(arg(1).c_str(), shortPath, sizeof shortPath);
        return n > 0 && n < sizeof shortPath ? "ok " + std::string(shortPath) : "error no short path";
    }
    if (cmd == "shortpath-wide") {
        std::wstring path = L"\\\\?\\" + Widen(arg(1));
        std::vector<wchar_t> shortPath(32768);
        DWORD n = GetShortPathNameW(path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
        if (n == 0 || n >= shortPath.size()) return "error no short path";
        std::wstring plain(shortPath.data(), n);
        if (plain.compare(0, 4, L"\\\\?\\") == 0) plain = plain.substr(4);
        return "ok " + std::string(plain.begin(), plain.end());
    }
    if (cmd == "temppath") {
        char temp[MAX_PATH];
        DWORD n = GetTempPathA(sizeof temp, temp);
        return n > 0 && n < sizeof temp ? "ok " + std::string(temp) : "error no temporary folder";
    }
    if (cmd == "list") {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(arg(1).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return "ok";
        do std::printf("entry\t%s\t%lu\n", found.cFileName, found.dwFileAttributes);
        while (FindNextFileA(search, &found));
        FindClose(search);
        return "ok";
    }
    if (cmd == "alive") {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(std::strtoul(arg(1).c_str(), nullptr, 10)));
        bool running = process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        if (process) CloseHandle(process);
        return running ? "ok 1" : "ok 0";
    }
    return "error unknown command " + cmd;
}

}  // namespace

int main() {
    setvbuf(stdout, nullptr, _IONBF, 0);
    int failures = 0;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
        std::string line(buffer);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (line.empty()) continue;
        std::string answer = Run(SplitTabs(line));
        if (answer.compare(0, 5, "error") == 0) ++failures;
        std::printf("%s\n", answer.c_str());
    }
    return failures ? 1 : 0;
}
