// A tool-help snapshot of the running processes, walked through entry points looked up by name
// (the 9x line has them; NT 4 does not).
#include "processes/toolhelp_snapshot.h"

#include <cstdlib>
#include <cstring>

#include "platform/entry_point.h"

namespace {
constexpr DWORD kPause = 100;  // ms
}  // namespace

ProcessSnapshot::ProcessSnapshot(HMODULE library, bool paced)
    : library_(library), paced_(paced),
      // Zero-filled in the platform's layout, its size field set before the first call.
      entry_(static_cast<PROCESSENTRY32*>(std::calloc(1, sizeof(PROCESSENTRY32)))) {
    if (!entry_) return;
    entry_->dwSize = sizeof *entry_;
    auto create = LookUpEntryPoint<decltype(&CreateToolhelp32Snapshot)>(library_, "CreateToolhelp32Snapshot");
    if (!create) return;
    HANDLE snapshot = create(TH32CS_SNAPPROCESS, 0);
    if (paced_) Sleep(kPause);
    if (snapshot != INVALID_HANDLE_VALUE && snapshot) *snapshot_.out() = snapshot;
}

ProcessSnapshot::~ProcessSnapshot() { std::free(entry_); }

bool ProcessSnapshot::First() {
    if (!taken()) return false;
    auto first = LookUpEntryPoint<decltype(&Process32First)>(library_, "Process32First");
    entry_->dwSize = sizeof *entry_;
    return first && first(snapshot_.get(), entry_);
}

ProcessSnapshot::Step ProcessSnapshot::Next() {
    auto next = LookUpEntryPoint<decltype(&Process32Next)>(library_, "Process32Next");
    if (!next) return Step::kNoEntryPoint;
    if (paced_) Sleep(kPause);
    const bool got = next(snapshot_.get(), entry_) != FALSE;
    if (paced_) Sleep(kPause);
    return got ? Step::kEntry : Step::kEnd;
}

const char* ProcessSnapshot::WholeExecutable() const {
    if (!std::memchr(entry_->szExeFile, '\0', sizeof entry_->szExeFile)) return nullptr;
    return entry_->szExeFile;
}
