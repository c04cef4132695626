// The engine's one entry: a whole scan, run with its options and a host, ending in an outcome.
#pragma once
#include <cstdint>

#include "core/scan_host.h"

struct ScanOptions {
    int32_t removalAction;  // what is done with infected files (a RemovalActionCode)
    // Look only: end, delete, schedule and clean nothing; removalAction is then taken as "leave".
    bool detectOnly = false;
    // For a front end that asks no question: the file of a worm that keeps running (neither ended
    // nor stopped as a service) is scheduled for removal at the next restart, and its line then
    // stands for a removal that waits.
    bool scheduleRunningWorm = false;
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
};

// The session set for a scan with these options, reporting to `host`: ScanDriver's first step.
void ApplyScanOptions(const ScanOptions& options, ScanHost& host);

// Runs the whole scan on the calling (user-interface) thread: memory, every fixed drive, the
// statistics and the final status, all reported to `host`. It asks no question of its own about
// what follows: restarting the machine, or ending the program, is the caller's to decide from the
// outcome. A scan cancelled before it starts still writes its statistics and "Scanning terminated".
ScanOutcome ScanDriver(const ScanOptions& options, ScanHost& host);
