// The process-status library (psapi.dll) of the system folder, held for one use.
#pragma once
#include <windows.h>
#include <psapi.h>

#include <cstddef>

#include "platform/handles.h"

enum class ImagePathOutcome {
    kRead,     // the path of the process's executable, whole
    kTooLong,  // longer than 259 characters: whatever was read is only its beginning
    kUnknown,  // the system does not tell (library missing, access refused, process gone)
};

class ProcessStatusLibrary {
public:
    using EnumProcessesFn = decltype(&EnumProcesses);
    using GetModuleFileNameExAFn = decltype(&GetModuleFileNameExA);
    using GetModuleFileNameExWFn = decltype(&GetModuleFileNameExW);
    // Declared by the headers only for Vista and later, which this build does not ask for.
    using QueryFullProcessImageNameAFn = BOOL(WINAPI*)(HANDLE process, DWORD flags, char* name, DWORD* size);
    using QueryFullProcessImageNameWFn = BOOL(WINAPI*)(HANDLE process, DWORD flags, wchar_t* name, DWORD* size);

    // Loads the library from the system folder and looks up its two entry points.
    ProcessStatusLibrary();
    ~ProcessStatusLibrary();
    ProcessStatusLibrary(const ProcessStatusLibrary&) = delete;
    ProcessStatusLibrary& operator=(const ProcessStatusLibrary&) = delete;

    EnumProcessesFn enumProcesses() const { return enumProcesses_; }
    // The ids of the running processes, at most `capacity` of them, in the system's order: their
    // count, 0 when the library cannot list them.
    DWORD ProcessIds(DWORD* ids, DWORD capacity) const;
    GetModuleFileNameExAFn moduleFileName() const { return moduleFileName_; }

    // The executable of a process opened with query and read access, into `path` (capacity 261 or
    // more, so that a 259-character path leaves room to spare). A path that fills the buffer may
    // have been cut, so it counts as too long. Where the library cannot read across the line
    // between 32- and 64-bit processes, the kernel's newer call (Vista on) is asked.
    ImagePathOutcome ImagePath(HANDLE process, char* path, size_t capacity) const;
    // The executable's true path in wide text (the NT line) into `path`; false when the system does
    // not tell or the path fills the buffer (it may have been cut).
    bool WideImagePath(HANDLE process, wchar_t* path, size_t capacity) const;

private:
    OwnedLibrary library_;
    EnumProcessesFn enumProcesses_ = nullptr;
    GetModuleFileNameExAFn moduleFileName_ = nullptr;
    QueryFullProcessImageNameAFn fullImageName_ = nullptr;
    GetModuleFileNameExWFn moduleFileNameW_ = nullptr;
    QueryFullProcessImageNameWFn fullImageNameW_ = nullptr;
};
