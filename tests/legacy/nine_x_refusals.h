// Forced into every platform source of the strict test build (-include): calls the 9x line refuses fail there.
//
// Wine reports the version it is set to but carries out what Windows 95/98/Me refuse. In the strict
// build each such call of the code under test goes to a NineX_ function of nine_x_refusals.cpp,
// which fails the way the 9x line fails whenever GetVersionExA reports that line, and otherwise
// calls the system. Which functions are concerned comes from the audit (the generated
// nine_x_rules.h); a stub of the audit without its refusal here does not compile. An inline
// function of an engine header that calls one of them must not be compiled into test code too, or
// the linker may keep the test code's copy for both.
#pragma once
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Stubs on the 9x line: they fail with ERROR_CALL_NOT_IMPLEMENTED.
BOOL WINAPI NineX_MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);
BOOL WINAPI NineX_OpenProcessToken(HANDLE process, DWORD access, PHANDLE token);
BOOL WINAPI NineX_LookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID id);
BOOL WINAPI NineX_AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD length,
                                        PTOKEN_PRIVILEGES previous, PDWORD returned);
SC_HANDLE WINAPI NineX_OpenSCManagerA(LPCSTR machine, LPCSTR database, DWORD access);
SC_HANDLE WINAPI NineX_OpenServiceA(SC_HANDLE manager, LPCSTR name, DWORD access);
BOOL WINAPI NineX_ControlService(SC_HANDLE service, DWORD control, LPSERVICE_STATUS status);
BOOL WINAPI NineX_QueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status);
BOOL WINAPI NineX_CloseServiceHandle(SC_HANDLE handle);

// Refused for their arguments: an OVERLAPPED position on a disk file, FILE_SHARE_DELETE or
// FILE_FLAG_OVERLAPPED (ERROR_INVALID_PARAMETER).
BOOL WINAPI NineX_ReadFile(HANDLE file, LPVOID buffer, DWORD length, LPDWORD got, LPOVERLAPPED overlapped);
BOOL WINAPI NineX_WriteFile(HANDLE file, LPCVOID buffer, DWORD length, LPDWORD written, LPOVERLAPPED overlapped);
HANDLE WINAPI NineX_CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE templateFile);

// What the 9x line lacks: its libraries do not load, its entry points are not found. Tool-help
// answers with full paths, as on the 9x line.
HMODULE WINAPI NineX_LoadLibraryA(LPCSTR name);
HMODULE WINAPI NineX_LoadLibraryExA(LPCSTR name, HANDLE reserved, DWORD flags);
FARPROC WINAPI NineX_GetProcAddress(HMODULE module, LPCSTR name);

#ifdef __cplusplus
}
#endif

#include "nine_x_rules.h"

#ifndef PURGIX_NINE_X_REFUSALS_DEFINED
#define LoadLibraryA NineX_LoadLibraryA
#define LoadLibraryExA NineX_LoadLibraryExA
#define GetProcAddress NineX_GetProcAddress
#endif
