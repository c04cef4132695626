// Ending a process chosen by its id, once the system confirms it runs the infected file.
#include "processes/process_end.h"

#include <windows.h>

#include "platform/handles.h"
#include "processes/process_image.h"

namespace {

constexpr DWORD kEndAndRead = PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
// NT 6 and later grant the limited query to callers the full one is refused, and it is enough
// for the kernel to name the executable; older systems refuse the unknown right.
constexpr DWORD kQueryLimitedInformation = 0x1000;
constexpr DWORD kEndAndQueryLimited = PROCESS_TERMINATE | kQueryLimitedInformation;

}  // namespace

EndOutcome EndProcessRunning(uint32_t processId, const NamedFile& file) {
    OwnedHandle process(OpenProcess(kEndAndRead, FALSE, processId));
    if (!process) process.Reset(OpenProcess(kEndAndQueryLimited, FALSE, processId));
    if (!process) return EndOutcome::kNotEnded;
    switch (ProcessRunsFile(process.get(), processId, file)) {
    case ImageMatch::kSameFile:
        break;
    case ImageMatch::kOtherFile:
        return EndOutcome::kOtherFile;
    case ImageMatch::kUnknown:
        return EndOutcome::kUnverified;
    }
    return TerminateProcess(process.get(), 0) ? EndOutcome::kEnded : EndOutcome::kNotEnded;
}
