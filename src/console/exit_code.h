// The console program's exit code: one meaning each, and an order for runs to which several apply.
#pragma once
#include <cstdint>

constexpr int32_t kExitClean = 0;             // nothing found, or everything found removed
constexpr int32_t kExitInfectedRemains = 1;   // something infected is left (with /detect: anything found)
constexpr int32_t kExitCannotRun = 2;         // bad command line, or the run could not start or report
constexpr int32_t kExitCancelled = 3;         // Ctrl+C, Ctrl+Break, the console closed, the session ending
constexpr int32_t kExitRestartStarted = 1641; // the restart that finishes the removal was started
constexpr int32_t kExitRestartPending = 3010; // the removal finishes at the next restart

// What a run came to, as far as the exit code is concerned.
struct RunVerdict {
    bool cannotRun;        // the command line was bad, or a report could not be written
    bool cancelled;        // the scan was stopped before its end
    bool detectOnly;
    int32_t findings;      // findings listed
    int32_t remaining;     // findings neither removed nor scheduled for removal at the restart
    bool restartPending;   // a removal waits for the next restart
    bool restartStarted;   // and the restart was started
};

// The first that applies of: 2, 3, 1, 1641, 3010, 0.
int32_t ChooseExitCode(const RunVerdict& verdict);
