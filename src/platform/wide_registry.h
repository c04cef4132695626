// The NT line's wide-character registry and text functions, looked up at run time: value names
// and data outside the ANSI code page are read, judged and deleted whole. The x86 exe imports no
// wide function (the 9x line only stubs them).
#pragma once
#include <windows.h>

struct WideRegistryFunctions {
    decltype(&RegOpenKeyExW) openKey;
    decltype(&RegQueryInfoKeyW) queryInfo;
    decltype(&RegEnumValueW) enumValue;
    decltype(&RegQueryValueExW) queryValue;
    decltype(&RegDeleteValueW) deleteValue;
    decltype(&ExpandEnvironmentStringsW) expand;
    decltype(&CharLowerBuffW) lower;  // may be missing (no window library loaded): then A-Z only
};

// The functions on the NT line, or null on any other line or when one (but the lower-casing) is missing.
const WideRegistryFunctions* NtWideRegistryFunctions();

// Lower-cases `length` characters of `text` in place, as the system does where it can.
void LowerWide(wchar_t* text, size_t length);
