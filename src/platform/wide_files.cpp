// The NT line's wide-character file functions, looked up at run time.
#include "platform/wide_files.h"

#include "core/os_generations.h"
#include "platform/entry_point.h"
#include "platform/os_line.h"

namespace {

bool LookUp(WideFileFunctions* f) {
    if (GetOsGeneration() != kOsNt) return false;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return false;
    f->findFirst = LookUpEntryPoint<decltype(f->findFirst)>(kernel, "FindFirstFileW");
    f->findNext = LookUpEntryPoint<decltype(f->findNext)>(kernel, "FindNextFileW");
    f->createFile = LookUpEntryPoint<decltype(f->createFile)>(kernel, "CreateFileW");
    f->setAttributes = LookUpEntryPoint<decltype(f->setAttributes)>(kernel, "SetFileAttributesW");
    f->deleteFile = LookUpEntryPoint<decltype(f->deleteFile)>(kernel, "DeleteFileW");
    f->moveFileEx = LookUpEntryPoint<decltype(f->moveFileEx)>(kernel, "MoveFileExW");
    f->shortPathName = LookUpEntryPoint<decltype(f->shortPathName)>(kernel, "GetShortPathNameW");
    f->longPathName = LookUpEntryPoint<decltype(f->longPathName)>(kernel, "GetLongPathNameW");
    return f->findFirst && f->findNext && f->createFile && f->setAttributes && f->deleteFile &&
           f->moveFileEx && f->shortPathName;
}

}  // namespace

const WideFileFunctions* NtWideFileFunctions() {
    // Looked up once: the line a program runs on does not change while it runs.
    static WideFileFunctions functions;
    static const bool available = LookUp(&functions);
    return available ? &functions : nullptr;
}
