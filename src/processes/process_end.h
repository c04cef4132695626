// Ending a process chosen by its id, once it is sure the id still belongs to the infected file.
#pragma once
#include <windows.h>

#include <cstdint>

enum class EndOutcome {
    kEnded,
    kNotEnded,   // it could not be opened or terminated
    kOtherFile,  // the system tells it runs another file than the one asked for: left alone
};

// Opens process `processId` with `access` (which must allow termination) and ends it with exit
// code 0, unless the system tells that it runs another file than `path`: a program of the same
// name in another folder, or a program that was given the id after the listed one ended. Where
// the system cannot tell (no process-status library, no right to read), the id is trusted.
EndOutcome EndProcessRunning(uint32_t processId, DWORD access, const char* path);
