// Whether a process runs a given file, as the system tells it from the process itself.
#include "processes/process_image.h"

#include <cstring>

#include "core/process_list.h"
#include "core/process_parameters.h"
#include "core/text_buffer.h"
#include "platform/entry_point.h"
#include "platform/handles.h"
#include "platform/os_line.h"
#include "platform/same_file.h"
#include "platform/system_library.h"
#include "platform/wide_files.h"
#include "processes/process_status_library.h"
#include "processes/toolhelp_snapshot.h"

namespace {

// Another process's memory, read where it lies.
class ProcessMemory final : public ByteSource {
public:
    explicit ProcessMemory(HANDLE process) : process_(process) {}
    bool ReadAt(uint64_t offset, void* out, size_t length) override {
        if (offset > UINTPTR_MAX) return false;
        SIZE_T read = 0;
        return ReadProcessMemory(process_, reinterpret_cast<LPCVOID>(static_cast<uintptr_t>(offset)), out, length, &read) &&
               read == length;
    }

private:
    HANDLE process_;
};

// The image path a process keeps in its own parameters, through ntdll (NT 4 has no other way
// without the process-status library). Read as this program's bitness lays the fields out.
bool ImageFromProcessParameters(HANDLE process, wchar_t* out, size_t capacity) {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    using QueryFn = LONG(WINAPI*)(HANDLE process, ULONG infoClass, PVOID info, ULONG size, PULONG returned);
    const QueryFn query = ntdll ? LookUpEntryPoint<QueryFn>(ntdll, "NtQueryInformationProcess") : nullptr;
    // PROCESS_BASIC_INFORMATION, class 0.
    struct {
        LONG_PTR exitStatus;
        PVOID peb;
        ULONG_PTR affinityMask;
        LONG_PTR basePriority;
        ULONG_PTR processId;
        ULONG_PTR parentProcessId;
    } basic = {};
    ULONG returned = 0;
    if (!query || query(process, 0, &basic, sizeof basic, &returned) != 0 || !basic.peb) return false;
    ProcessMemory memory(process);
    return ReadImagePathFromMemory(memory, reinterpret_cast<uintptr_t>(basic.peb),
                                   sizeof(void*) == 8 ? kParameters64 : kParameters32, reinterpret_cast<uint16_t*>(out),
                                   capacity);
}

ImageMatch NtImageMatch(HANDLE process, const NamedFile& file) {
    TextBuffer<wchar_t> wanted(file.wide ? 1 : std::strlen(file.shown) + 1);
    const wchar_t* target = file.wide;
    if (!target) {
        if (!wanted || MultiByteToWideChar(CP_ACP, 0, file.shown, -1, wanted.data(), static_cast<int>(wanted.size())) <= 0)
            return ImageMatch::kUnknown;
        target = wanted.data();
    }
    TextBuffer<wchar_t> image(kMaxWidePathChars + 1);
    if (!image) return ImageMatch::kUnknown;
    ProcessStatusLibrary psapi;
    if (!psapi.WideImagePath(process, image.data(), image.size()) &&
        !ImageFromProcessParameters(process, image.data(), image.size()))
        return ImageMatch::kUnknown;
    return SameWidePath(image.data(), target) ? ImageMatch::kSameFile : ImageMatch::kOtherFile;
}

// A tool-help snapshot taken now: the id may have been given to another program since the list
// the caller works from was taken.
ImageMatch FreshSnapshotMatch(uint32_t processId, const char* path) {
    OwnedLibrary kernel(LoadSystemLibrary("kernel32.dll"));
    if (!kernel) return ImageMatch::kUnknown;
    ProcessSnapshot snapshot(kernel.get(), false);
    if (!snapshot.taken()) return ImageMatch::kUnknown;
    for (bool have = snapshot.First(); have; have = snapshot.Next() == ProcessSnapshot::Step::kEntry) {
        if (snapshot.entry().th32ProcessID != processId) continue;
        const ListedProcess entry = {processId, snapshot.WholeExecutable()};
        return MatchListedProcess(&entry, 1, processId, path, SameFilePath);
    }
    return ImageMatch::kOtherFile;
}

ImageMatch NineXImageMatch(HANDLE process, uint32_t processId, const char* path) {
    ProcessStatusLibrary psapi;
    char image[kProcessPathSize + 1];
    switch (psapi.ImagePath(process, image, sizeof image)) {
    case ImagePathOutcome::kRead:
        return SameFilePath(image, path) ? ImageMatch::kSameFile : ImageMatch::kOtherFile;
    case ImagePathOutcome::kTooLong:
        return ImageMatch::kOtherFile;
    case ImagePathOutcome::kUnknown:
        break;
    }
    return FreshSnapshotMatch(processId, path);
}

}  // namespace

ImageMatch ProcessRunsFile(HANDLE process, uint32_t processId, const NamedFile& file) {
    if (GetOsGeneration() == kOsNt) return NtImageMatch(process, file);
    return NineXImageMatch(process, processId, file.shown);
}
