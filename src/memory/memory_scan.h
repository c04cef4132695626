// The memory step of a scan and the ending of processes that run an infected file.
#pragma once
#include <cstdint>

extern int32_t MemoryRestartRequired;  // a worm service could not be stopped; 0 at start, never cleared

// Checks every running process's executable; may end the program when the worm runs on the NT line.
void MemoryScan();
// Ends the processes that run `path`; 1 when the file may be deleted now (or nothing had to be done).
int32_t KillFileProcesses(const char* path);
