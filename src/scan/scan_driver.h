// The fixed sequence of one scan: memory, every fixed drive, statistics, final status, restart.
#pragma once
#include <cstdint>

// Runs the whole scan on the calling (user-interface) thread; always 1. Expects ScanCancelled
// clear and MainWindowHandle set.
int32_t ScanDriver();
// Forces a reboot; on the NT line only once the shutdown privilege could be enabled.
void RestartComputer();
