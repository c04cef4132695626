// Tool-help entry points that answer the way Windows 9x did: the executable field holds the full path.
//
// Under Wine (as on NT) the field holds only the file name. Tests load this library in place of
// Kernel32.dll. PURGIX_TOOLHELP_FIRST=<pid> makes that process the first entry of every walk, so a
// test can see whether a caller looks at the first entry at all.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>

namespace {

DWORD g_firstId = 0;        // process put first in the current walk, 0 for none
bool g_realFirstDue = false;  // the next "next" must start the real walk from its beginning

DWORD WantedFirst() {
    char text[32];
    DWORD n = GetEnvironmentVariableA("PURGIX_TOOLHELP_FIRST", text, sizeof text);
    return (n > 0 && n < sizeof text) ? static_cast<DWORD>(std::strtoul(text, nullptr, 10)) : 0;
}

void UseFullPath(PROCESSENTRY32* entry) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry->th32ProcessID);
    if (!process) return;
    char path[MAX_PATH] = {};
    if (GetModuleFileNameExA(process, nullptr, path, sizeof path)) {
        path[sizeof path - 1] = '\0';
        std::memcpy(entry->szExeFile, path, sizeof path);
    }
    CloseHandle(process);
}

BOOL RealNextSkipping(HANDLE snapshot, PROCESSENTRY32* entry) {
    for (;;) {
        BOOL ok;
        if (g_realFirstDue) {
            g_realFirstDue = false;
            ok = Process32First(snapshot, entry);
        } else {
            ok = Process32Next(snapshot, entry);
        }
        if (!ok || entry->th32ProcessID != g_firstId) return ok;
    }
}

}  // namespace

extern "C" HANDLE WINAPI FakeCreateSnapshot(DWORD flags, DWORD processId) {
    return CreateToolhelp32Snapshot(flags, processId);
}

extern "C" BOOL WINAPI FakeProcess32First(HANDLE snapshot, PROCESSENTRY32* entry) {
    g_firstId = 0;
    g_realFirstDue = false;
    const DWORD wanted = WantedFirst();
    BOOL ok = Process32First(snapshot, entry);
    if (ok && wanted) {
        PROCESSENTRY32 probe = *entry;
        BOOL more = TRUE;
        while (more && probe.th32ProcessID != wanted) more = Process32Next(snapshot, &probe);
        if (more) {
            *entry = probe;
            g_firstId = wanted;
            g_realFirstDue = true;
        } else {
            ok = Process32First(snapshot, entry);
        }
    }
    if (ok) UseFullPath(entry);
    return ok;
}

extern "C" BOOL WINAPI FakeProcess32Next(HANDLE snapshot, PROCESSENTRY32* entry) {
    BOOL ok = RealNextSkipping(snapshot, entry);
    if (ok) UseFullPath(entry);
    return ok;
}
