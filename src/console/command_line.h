// The console program's switches, read from its arguments.
#pragma once
#include <cstddef>

constexpr size_t kReportPathSize = 260;  // a report file's name, NUL included
constexpr size_t kCommandLineErrorSize = 320;

struct ConsoleOptions {
    bool detectOnly;                  // /detect: look, change nothing
    bool restartNow;                  // /restart:now: restart when a removal waits for it
    bool quiet;                       // /quiet: errors only
    bool usage;                       // /?: the usage, and nothing else
    char logPath[kReportPathSize];    // /log:FILE, empty without it
    char jsonPath[kReportPathSize];   // /json:FILE, empty without it
};

// Reads the switches in argv[1] .. argv[argc - 1]: each starts with '/' or '-', its name is read
// without regard to case, and a value follows a ':'. On a bad command line (an unknown switch, a
// value missing or not allowed, a switch given twice, anything else) returns false with the reason
// in `error`; `options` is then not to be used.
bool ParseCommandLine(int argc, const char* const* argv, ConsoleOptions* options, char* error, size_t errorSize);

// What /? prints.
extern const char kUsageText[];
