// Looking up an entry point of a library loaded at run time, typed through a function-pointer typedef.
#pragma once
#include <windows.h>

// FARPROC is a generic function pointer; going through void (*)() keeps the cast to the real
// signature explicit without the compiler taking it for a mistake.
template <typename Function>
Function LookUpEntryPoint(HMODULE library, const char* name) {
    FARPROC found = GetProcAddress(library, name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}
