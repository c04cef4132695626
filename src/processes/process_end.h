// Ending a process chosen by its id, once the system confirms it runs the infected file.
#pragma once
#include <cstdint>

#include "platform/named_file.h"

enum class EndOutcome {
    kEnded,
    kNotEnded,    // it could not be opened or terminated
    kOtherFile,   // the system tells it runs another file, or it is gone: left alone
    kUnverified,  // the system does not tell what it runs: left alone
};

// Opens process `processId` and ends it with exit code 0 only when the system confirms that it
// runs `file` itself: never a program of the same name in another folder, never one that was
// given the id after the listed one ended, never one whose executable cannot be read.
EndOutcome EndProcessRunning(uint32_t processId, const NamedFile& file);
