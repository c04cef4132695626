// Feeds the console program's switch parser with arbitrary arguments.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "console/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Arguments are the NUL-separated pieces of the input, after the program's own name.
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> pieces = {"PurgixCmd.exe"};
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\0', start);
        pieces.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos || pieces.size() > 64) break;
        start = end + 1;
    }
    std::vector<const char*> argv;
    for (const std::string& p : pieces) argv.push_back(p.c_str());

    ConsoleOptions options;
    char error[kCommandLineErrorSize];
    const bool ok = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), &options, error, sizeof error);
    if (std::strlen(error) >= sizeof error) __builtin_trap();
    if (ok) {
        // What was taken fits, and a report file is never both reports.
        if (std::strlen(options.logPath) >= kReportPathSize || std::strlen(options.jsonPath) >= kReportPathSize)
            __builtin_trap();
        if (options.logPath[0] && std::strcmp(options.logPath, options.jsonPath) == 0) __builtin_trap();
    } else if (!error[0]) {
        __builtin_trap();  // a refusal always says why
    }
    return 0;
}
