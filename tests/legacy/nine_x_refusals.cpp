// The strict test build's refusals: each fails as Windows 95/98/Me fails when the version says 9x.
//
// A stub fails with ERROR_CALL_NOT_IMPLEMENTED, as the 9x line's stubs report; an argument that
// line does not take gives ERROR_INVALID_PARAMETER, what it does not have ERROR_MOD_NOT_FOUND or
// ERROR_PROC_NOT_FOUND. The program may rely on the failure, not on its code. On any other line
// every call goes through.
#define PURGIX_NINE_X_REFUSALS_DEFINED
#include "nine_x_refusals.h"

#include <tlhelp32.h>

#include <cstring>
#include <type_traits>

// Every refusal the audit asks for exists and has the type of the function it stands for.
#define PURGIX_NINE_X_REQUIRE(F)                                                    \
    static_assert(std::is_same<decltype(&NineX_##F), decltype(&::F)>::value,        \
                  #F " is refused on the 9x line: nine_x_refusals.h must declare NineX_" #F);
PURGIX_NINE_X_REFUSED(PURGIX_NINE_X_REQUIRE)

namespace {

const char* const kAbsentFunctions[] = {PURGIX_NINE_X_ABSENT_FUNCTIONS};
const char* const kAbsentLibraries[] = {PURGIX_NINE_X_ABSENT_LIBRARIES};

// Asked at every call, as the program asks: the version is the prefix's, set before it starts.
bool OnNineX() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// The failure value of a refused call, with the error the 9x line leaves behind.
template <typename Result>
Result Refuse(DWORD error, Result failure) {
    SetLastError(error);
    return failure;
}

bool IsDiskFile(HANDLE file) { return GetFileType(file) == FILE_TYPE_DISK; }

template <size_t Count>
bool Listed(const char* name, const char* const (&list)[Count]) {
    for (const char* entry : list)
        if (lstrcmpiA(name, entry) == 0) return true;
    return false;
}

const char* FileNamePart(const char* path) {
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (*c == '\\' || *c == '/' || *c == ':') name = c + 1;
    return name;
}

bool AbsentLibrary(const char* name) {
    return name && OnNineX() && Listed(FileNamePart(name), kAbsentLibraries);
}

// The 9x line's tool-help gives the executable's full path where Wine gives only its file name;
// with no process-status library on that line, the full path is all a program has to go by.
using ProcessWalk = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
using FullImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

template <typename Function>
Function KernelEntry(const char* name) {
    FARPROC found = GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

void UseFullPath(PROCESSENTRY32* entry) {
    auto fullName = KernelEntry<FullImageName>("QueryFullProcessImageNameA");
    HANDLE process = fullName ? OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, entry->th32ProcessID) : nullptr;
    if (!process) return;
    char path[MAX_PATH];
    DWORD size = sizeof path;
    if (fullName(process, 0, path, &size) && size < sizeof entry->szExeFile)
        std::memcpy(entry->szExeFile, path, size + 1);
    CloseHandle(process);
}

BOOL Walk(const char* step, HANDLE snapshot, PROCESSENTRY32* entry) {
    auto real = KernelEntry<ProcessWalk>(step);
    if (!real || !real(snapshot, entry)) return FALSE;
    UseFullPath(entry);
    return TRUE;
}

BOOL WINAPI FullPathFirst(HANDLE snapshot, PROCESSENTRY32* entry) { return Walk("Process32First", snapshot, entry); }
BOOL WINAPI FullPathNext(HANDLE snapshot, PROCESSENTRY32* entry) { return Walk("Process32Next", snapshot, entry); }

FARPROC AsEntry(ProcessWalk walk) { return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(walk)); }

}  // namespace

extern "C" {

BOOL WINAPI NineX_MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
    if (OnNineX()) return Refuse(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
    return MoveFileExA(from, to, flags);
}

BOOL WINAPI NineX_OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
    if (OnNineX()) return Refuse(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
    return OpenProcessToken(process, access, token);
}

BOOL WINAPI NineX_LookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID id) {
    if (OnNineX()) return Refuse(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
    return LookupPrivilegeValueA(system, name, id);
}

BOOL WINAPI NineX_AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD length,
                                        PTOKEN_PRIVILEGES previous, PDWORD returned) {
    if (OnNineX()) return Refuse(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
    return AdjustTokenPrivileges(token, disableAll, state, length, previous, returned);
}

SC_HANDLE WINAPI NineX_OpenSCManagerA(LPCSTR machine, LPCSTR database, DWORD access) {
    if (OnNineX()) return Refuse(ERROR_CALL_NOT_IMPLEMENTED, nullptr);
    return OpenSCManagerA(machine, database, access);
}

SC_HANDLE WINAPI NineX_OpenServiceA(SC_HANDLE manager, LPCSTR name, DWORD access) {
    if (OnNineX()) return Refuse(ERROR_CALL_NOT_IMPLEMENTED, nullptr);
    return OpenServiceA(manager, name, access);
}

BOOL WINAPI NineX_ControlService(SC_HANDLE service, DWORD control, LPSERVICE_STATUS status) {
    if (OnNineX()) return Refuse(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
    return ControlService(service, control, status);
}

BOOL WINAPI NineX_QueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status) {
    if (OnNineX()) return Refuse(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
    return QueryServiceStatus(service, status);
}

BOOL WINAPI NineX_CloseServiceHandle(SC_HANDLE handle) {
    if (OnNineX()) return Refuse(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
    return CloseServiceHandle(handle);
}

BOOL WINAPI NineX_ReadFile(HANDLE file, LPVOID buffer, DWORD length, LPDWORD got, LPOVERLAPPED overlapped) {
    if (overlapped && OnNineX() && IsDiskFile(file)) return Refuse(ERROR_INVALID_PARAMETER, FALSE);
    return ReadFile(file, buffer, length, got, overlapped);
}

BOOL WINAPI NineX_WriteFile(HANDLE file, LPCVOID buffer, DWORD length, LPDWORD written, LPOVERLAPPED overlapped) {
    if (overlapped && OnNineX() && IsDiskFile(file)) return Refuse(ERROR_INVALID_PARAMETER, FALSE);
    return WriteFile(file, buffer, length, written, overlapped);
}

HANDLE WINAPI NineX_CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE templateFile) {
    // Refused at the open: a handle the 9x line gave could never do overlapped work on a disk file.
    if (((share & FILE_SHARE_DELETE) || (flags & FILE_FLAG_OVERLAPPED)) && OnNineX())
        return Refuse(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    return CreateFileA(name, access, share, security, disposition, flags, templateFile);
}

HMODULE WINAPI NineX_LoadLibraryA(LPCSTR name) {
    if (AbsentLibrary(name)) return Refuse<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    return LoadLibraryA(name);
}

HMODULE WINAPI NineX_LoadLibraryExA(LPCSTR name, HANDLE reserved, DWORD flags) {
    if (AbsentLibrary(name)) return Refuse<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    return LoadLibraryExA(name, reserved, flags);
}

FARPROC WINAPI NineX_GetProcAddress(HMODULE module, LPCSTR name) {
    // A name whose pointer value fits 16 bits is an ordinal.
    const bool byName = reinterpret_cast<ULONG_PTR>(name) > 0xFFFF;
    if (byName && OnNineX()) {
        if (Listed(name, kAbsentFunctions))
            return Refuse<FARPROC>(ERROR_PROC_NOT_FOUND, nullptr);
        if (module && module == GetModuleHandleA("kernel32.dll")) {
            if (std::strcmp(name, "Process32First") == 0) return AsEntry(FullPathFirst);
            if (std::strcmp(name, "Process32Next") == 0) return AsEntry(FullPathNext);
        }
    }
    return GetProcAddress(module, name);
}

}  // extern "C"
