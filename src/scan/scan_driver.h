// The engine's one entry: a whole scan, run with its options and a host, ending in an outcome.
#pragma once
#include <cstdint>

#include "core/scan_host.h"
#include "core/scan_session.h"

struct ScanOptions {
    int32_t removalAction;  // what is done with infected files (a RemovalActionCode)
    // Look only: end, delete, schedule and clean nothing; removalAction is then taken as "leave".
    bool detectOnly = false;
};

enum class ScanEnd {
    kCompleted,         // every step ran; the statistics and "Scanning completed" are shown
    kTerminated,        // cancelled: the statistics and "Scanning terminated" are shown
    kWormKeepsRunning,  // the memory step met a worm it could not end: nothing more was done
};

struct ScanOutcome {
    ScanEnd end;
    bool restartPending;   // a removal waits for the next restart
    bool restartRequired;  // with kWormKeepsRunning: the worm's service could not be stopped either
    // With kWormKeepsRunning: the executable of the worm that runs on (empty when unknown).
    char runningWorm[kPathBufferSize];
};

// Runs the whole scan on the calling (user-interface) thread: memory, every fixed drive, the
// statistics and the final status, all reported to `host`. It asks no question of its own about
// what follows: restarting the machine, or ending the program, is the caller's to decide from the
// outcome. A scan cancelled before it starts still writes its statistics and "Scanning terminated".
ScanOutcome ScanDriver(const ScanOptions& options, ScanHost& host);
