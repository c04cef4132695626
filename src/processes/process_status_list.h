// Listing the running processes and their executables through the process-status library.
#pragma once
#include "core/process_list.h"
#include "core/wide_process_list.h"

enum class StatusListOutcome {
    kListed,       // the list holds every process whose whole executable path (259 characters at most) could be read
    kUnavailable,  // "psapi.dll" or one of its entry points is missing, or no process id came back
    kOutOfMemory,  // a node could not be allocated; the list is incomplete
};

// Called when opening a process was refused with ERROR_ACCESS_DENIED; the open is then tried once
// more. Null: refused processes are simply not listed.
using RefusedOpenHandler = void (*)();

// Lists at most the first 1024 process ids, in the order the system gives them.
StatusListOutcome ListProcessesByStatus(ProcessList* list, RefusedOpenHandler onRefused);

// The NT line's list for the memory scan: every process whose executable the system names, by its
// true path in wide text (names outside the code page, any length). A process that refuses the
// full query is asked with the limited one (NT 6 and later grant it more often).
StatusListOutcome ListProcessesWide(WideProcessList* list, RefusedOpenHandler onRefused);
