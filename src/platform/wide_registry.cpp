// The NT line's wide-character registry and text functions, looked up at run time.
#include "platform/wide_registry.h"

#include "core/os_generations.h"
#include "platform/entry_point.h"
#include "platform/os_line.h"

namespace {

bool LookUp(WideRegistryFunctions* f) {
    if (GetOsGeneration() != kOsNt) return false;
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!advapi || !kernel) return false;
    f->openKey = LookUpEntryPoint<decltype(f->openKey)>(advapi, "RegOpenKeyExW");
    f->queryInfo = LookUpEntryPoint<decltype(f->queryInfo)>(advapi, "RegQueryInfoKeyW");
    f->enumValue = LookUpEntryPoint<decltype(f->enumValue)>(advapi, "RegEnumValueW");
    f->queryValue = LookUpEntryPoint<decltype(f->queryValue)>(advapi, "RegQueryValueExW");
    f->deleteValue = LookUpEntryPoint<decltype(f->deleteValue)>(advapi, "RegDeleteValueW");
    f->expand = LookUpEntryPoint<decltype(f->expand)>(kernel, "ExpandEnvironmentStringsW");
    HMODULE user = GetModuleHandleA("user32.dll");
    f->lower = user ? LookUpEntryPoint<decltype(f->lower)>(user, "CharLowerBuffW") : nullptr;
    return f->openKey && f->queryInfo && f->enumValue && f->queryValue && f->deleteValue && f->expand;
}

}  // namespace

const WideRegistryFunctions* NtWideRegistryFunctions() {
    // Looked up once: the line a program runs on does not change while it runs.
    static WideRegistryFunctions functions;
    static const bool available = LookUp(&functions);
    return available ? &functions : nullptr;
}

void LowerWide(wchar_t* text, size_t length) {
    const WideRegistryFunctions* f = NtWideRegistryFunctions();
    if (f && f->lower && length <= 0xFFFFFFFFu) {
        f->lower(text, static_cast<DWORD>(length));
        return;
    }
    for (size_t i = 0; i < length; ++i)
        if (text[i] >= L'A' && text[i] <= L'Z') text[i] = static_cast<wchar_t>(text[i] - L'A' + L'a');
}
