// What a program meets on 64-bit Windows: two registry views, and, for the 32-bit build, file-system
// redirection of System32 to SysWOW64.
#include "platform/wow64.h"

#include "platform/entry_point.h"

namespace {

// The entry points are looked up by name: they are missing before XP SP2 and on the 9x line.
template <typename Function>
Function Kernel32EntryPoint(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? LookUpEntryPoint<Function>(kernel, name) : nullptr;
}

// Declared by the headers only for XP and later, which this build does not ask for.
using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE process, BOOL* wow64);
using DisableRedirectionFn = BOOL(WINAPI*)(void** oldValue);
using RevertRedirectionFn = BOOL(WINAPI*)(void* oldValue);

// The redirection state the scan's FileSystemRedirectionOff set up (one thread does all the work).
bool redirectionOff = false;
void* redirectionOldValue = nullptr;

bool TurnOff() {
#ifdef _WIN64
    return false;  // a 64-bit program is never redirected
#else
    if (!OnSixtyFourBitWindows()) return false;
    auto disable = Kernel32EntryPoint<DisableRedirectionFn>("Wow64DisableWow64FsRedirection");
    return disable && disable(&redirectionOldValue);
#endif
}

void TurnOn() {
    auto revert = Kernel32EntryPoint<RevertRedirectionFn>("Wow64RevertWow64FsRedirection");
    if (revert) revert(redirectionOldValue);
}

}  // namespace

bool OnSixtyFourBitWindows() {
#ifdef _WIN64
    return true;
#else
    auto isWow64 = Kernel32EntryPoint<IsWow64ProcessFn>("IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
#endif
}

int RegistryViews(REGSAM views[2]) {
    if (!OnSixtyFourBitWindows()) {
        views[0] = 0;
        return 1;
    }
    views[0] = KEY_WOW64_64KEY;
    views[1] = KEY_WOW64_32KEY;
    return 2;
}

FileSystemRedirectionOff::FileSystemRedirectionOff() {
    if (redirectionOff) return;  // an outer one already did, and turns it back on
    redirectionOff = owner_ = TurnOff();
}

FileSystemRedirectionOff::~FileSystemRedirectionOff() {
    if (!owner_) return;
    TurnOn();
    redirectionOff = false;
}

FileSystemRedirectionPause::FileSystemRedirectionPause() {
    if (!redirectionOff) return;
    TurnOn();
    paused_ = true;
}

FileSystemRedirectionPause::~FileSystemRedirectionPause() {
    if (paused_) TurnOff();
}
