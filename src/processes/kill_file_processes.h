// Ending the processes that hold an infected file, so that the file checker can delete it.
#pragma once
#include <cstdint>

// Ends the processes that run `path` with the back-end of this Windows generation; 1 when the file
// may be deleted now (or nothing had to be done). The 9x line's and the performance data's
// back-ends say "Could not kill process" when they ended nothing.
int32_t KillFileProcesses(const char* path);
