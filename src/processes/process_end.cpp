// Ending a process chosen by its id, once it is sure the id still belongs to the infected file.
#include "processes/process_end.h"

#include "platform/handles.h"
#include "platform/same_file.h"
#include "processes/process_status_library.h"

namespace {

constexpr DWORD kReadImage = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;

// False only when the system names another executable (or one too long to be `path`).
bool MayStillRun(HANDLE process, const char* path) {
    ProcessStatusLibrary psapi;
    char image[261];
    switch (psapi.ImagePath(process, image, sizeof image)) {
    case ImagePathOutcome::kRead:
        return SameFilePath(image, path);
    case ImagePathOutcome::kTooLong:
        return false;
    case ImagePathOutcome::kUnknown:
        break;
    }
    return true;
}

}  // namespace

EndOutcome EndProcessRunning(uint32_t processId, DWORD access, const char* path) {
    OwnedHandle process(OpenProcess(access | kReadImage, FALSE, processId));
    if (!process) *process.out() = OpenProcess(access, FALSE, processId);
    if (!process) return EndOutcome::kNotEnded;
    if (!MayStillRun(process.get(), path)) return EndOutcome::kOtherFile;
    return TerminateProcess(process.get(), 0) ? EndOutcome::kEnded : EndOutcome::kNotEnded;
}
