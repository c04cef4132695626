// The process-status library (psapi.dll) of the system folder, held for one use.
#include "processes/process_status_library.h"

#include "platform/entry_point.h"
#include "platform/system_library.h"

ProcessStatusLibrary::ProcessStatusLibrary() : library_(LoadSystemLibrary("psapi.dll")) {
    if (HMODULE kernel = GetModuleHandleA("kernel32.dll")) {
        fullImageName_ = LookUpEntryPoint<QueryFullProcessImageNameAFn>(kernel, "QueryFullProcessImageNameA");
        fullImageNameW_ = LookUpEntryPoint<QueryFullProcessImageNameWFn>(kernel, "QueryFullProcessImageNameW");
    }
    if (!library_) return;
    enumProcesses_ = LookUpEntryPoint<EnumProcessesFn>(library_.get(), "EnumProcesses");
    moduleFileName_ = LookUpEntryPoint<GetModuleFileNameExAFn>(library_.get(), "GetModuleFileNameExA");
    moduleFileNameW_ = LookUpEntryPoint<GetModuleFileNameExWFn>(library_.get(), "GetModuleFileNameExW");
}

ProcessStatusLibrary::~ProcessStatusLibrary() = default;

DWORD ProcessStatusLibrary::ProcessIds(DWORD* ids, DWORD capacity) const {
    DWORD bytes = 0;
    if (!enumProcesses_ || capacity > 0xFFFFFFFFu / sizeof(DWORD) ||
        !enumProcesses_(ids, capacity * static_cast<DWORD>(sizeof(DWORD)), &bytes))
        return 0;
    const DWORD count = bytes / sizeof(DWORD);
    return count < capacity ? count : capacity;
}

ImagePathOutcome ProcessStatusLibrary::ImagePath(HANDLE process, char* path, size_t capacity) const {
    if (capacity == 0) return ImagePathOutcome::kUnknown;
    path[0] = '\0';
    if (!moduleFileName_ || capacity > 0xFFFF) return ImagePathOutcome::kUnknown;
    const DWORD size = static_cast<DWORD>(capacity);
    DWORD length = moduleFileName_(process, nullptr, path, size);
    if (length == 0 && fullImageName_) {
        DWORD room = size;
        if (fullImageName_(process, 0, path, &room)) {
            length = room;
        } else if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            path[0] = '\0';
            return ImagePathOutcome::kTooLong;
        }
    }
    path[capacity - 1] = '\0';
    if (length == 0) return ImagePathOutcome::kUnknown;
    // Paths the engine works with have at most 259 characters: anything that reaches the end of
    // the buffer, or that a short buffer would have cut, is not one of them.
    if (length >= size - 1 || length >= 260) {
        path[0] = '\0';
        return ImagePathOutcome::kTooLong;
    }
    return ImagePathOutcome::kRead;
}

bool ProcessStatusLibrary::WideImagePath(HANDLE process, wchar_t* path, size_t capacity) const {
    if (capacity < 2 || capacity > 0x7FFFFFFF) return false;
    path[0] = L'\0';
    const DWORD size = static_cast<DWORD>(capacity);
    DWORD length = moduleFileNameW_ ? moduleFileNameW_(process, nullptr, path, size) : 0;
    if (length == 0 && fullImageNameW_) {
        DWORD room = size;
        if (fullImageNameW_(process, 0, path, &room)) length = room;
    }
    path[capacity - 1] = L'\0';
    return length > 0 && length < size - 1;
}
