// Ending the processes that run a file the ANSI functions cannot name (NT line).
#pragma once
#include <cstdint>

// Ends every process whose executable is exactly the file at `widePath` (no "\\?\" prefix), as
// the process-status library and the kernel tell it in wide text: a name alone, or an ANSI form
// with '?' in it, could be another program's. 1 whenever the process list could be read; 0 when
// the library is missing. It never shows a box.
int32_t KillFileProcessesWide(const wchar_t* widePath);
