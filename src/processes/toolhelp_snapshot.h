// A tool-help snapshot of the running processes, walked through entry points looked up by name
// (the 9x line has them; NT 4 does not).
#pragma once
#include <windows.h>
#include <tlhelp32.h>

#include "platform/handles.h"

class ProcessSnapshot {
public:
    enum class Step { kEntry, kEnd, kNoEntryPoint };

    // Takes the snapshot with the entry points of `library`. `paced`: the pauses the old systems
    // needed to hand out entries, around every step.
    ProcessSnapshot(HMODULE library, bool paced);
    ~ProcessSnapshot();
    ProcessSnapshot(const ProcessSnapshot&) = delete;
    ProcessSnapshot& operator=(const ProcessSnapshot&) = delete;

    bool taken() const { return entry_ && static_cast<bool>(snapshot_); }
    // The first entry; false when there is none or the entry point is missing.
    bool First();
    // The next entry. "Process32Next" is looked up again before every step, as it always was.
    Step Next();
    const PROCESSENTRY32& entry() const { return *entry_; }
    // The executable field when it is whole, or null: a field filled to its end holds a path cut
    // to fit, and a process must never be judged, or ended, by the beginning of another's path.
    const char* WholeExecutable() const;

private:
    HMODULE library_;
    bool paced_;
    PROCESSENTRY32* entry_;
    OwnedHandle snapshot_;
};
