// The fixed sequence of one scan: memory, every fixed drive, statistics, final status, restart.
#pragma once
#include <cstdint>

// Runs the whole scan on the calling (user-interface) thread, reporting to the session's host;
// always 1. A scan cancelled before it starts still writes its statistics and "Scanning terminated".
int32_t ScanDriver();
