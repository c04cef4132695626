// The 32-bit runtime's two wide-character imports, answered by the ANSI functions every Windows has.
//
// The compiler's runtime, linked in statically, calls CreateSemaphoreW for every mutex it makes
// (the exception unwinder's object list, the exception memory pool, thread-local emulation; the
// first two at every start) and its code-page helper calls GetModuleHandleW. Windows 95, 98 and Me
// export both only as stubs that fail, so the runtime would get no semaphore there. The runtime
// calls them through their import slots; this file defines those slots itself, pointing at
// functions that take the ANSI road, so the linker never fetches the wide imports and the program
// imports none. Only the x86 program links this file, as an object of its own: a definition in a
// library would come too late, after the system's import libraries had supplied the slots.
#include <windows.h>

namespace {

// The ANSI form of an optional wide name; false when it has no ANSI form that fits.
bool AnsiName(const wchar_t* wide, char* out, int capacity) {
    if (!wide) return true;
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, out, capacity, nullptr, nullptr) != 0) return true;
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

HANDLE WINAPI CreateSemaphoreAnsi(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum, LPCWSTR name) {
    char ansi[MAX_PATH];
    if (!AnsiName(name, ansi, sizeof ansi)) return nullptr;
    return CreateSemaphoreA(security, initial, maximum, name ? ansi : nullptr);
}

HMODULE WINAPI GetModuleHandleAnsi(LPCWSTR name) {
    char ansi[MAX_PATH];
    if (!AnsiName(name, ansi, sizeof ansi)) return nullptr;
    return GetModuleHandleA(name ? ansi : nullptr);
}

}  // namespace

// The import slots under the names the runtime's objects refer to (stdcall decoration included).
extern "C" {
extern decltype(&CreateSemaphoreAnsi) const RuntimeCreateSemaphoreW __asm__("__imp__CreateSemaphoreW@16");
extern decltype(&GetModuleHandleAnsi) const RuntimeGetModuleHandleW __asm__("__imp__GetModuleHandleW@4");
decltype(&CreateSemaphoreAnsi) const RuntimeCreateSemaphoreW = &CreateSemaphoreAnsi;
decltype(&GetModuleHandleAnsi) const RuntimeGetModuleHandleW = &GetModuleHandleAnsi;
}
