// The console program's switches: names without regard to case, after a '/' or a '-'.
#include "console/command_line.h"

#include <cstdio>
#include <cstring>

#include "core/text.h"

const char kUsageText[] =
    "PurgixCmd: finds and removes the W32/Vorlex worm family, without a window.\r\n"
    "\r\n"
    "PurgixCmd [/detect] [/restart:now|never] [/log:FILE] [/json:FILE] [/quiet]\r\n"
    "\r\n"
    "  (no switch)   scan memory and every local fixed drive and remove what is found\r\n"
    "  /detect       only look: nothing is ended, deleted, scheduled or cleaned\r\n"
    "  /restart:now  restart the computer when a removal waits for it (default: never)\r\n"
    "  /log:FILE     append a plain-text record of the run to FILE\r\n"
    "  /json:FILE    write the run's report to FILE as JSON (UTF-8)\r\n"
    "  /quiet        print errors only\r\n"
    "  /?            this text\r\n"
    "\r\n"
    "Exit codes: 0 nothing found or everything removed; 1 something infected remains (with\r\n"
    "/detect: something was found); 2 bad command line or the run could not start; 3 cancelled;\r\n"
    "1641 the restart was started; 3010 the removal finishes at the next restart.";

namespace {

enum class SwitchValue { kNone, kRequired };

// The switch name and its value, split at the first ':'.
struct Switch {
    char name[16];
    const char* value;  // null when no ':' follows the name
    bool nameFits;
};

Switch Split(const char* argument) {
    Switch found = {};
    const char* text = argument + 1;
    const char* colon = std::strchr(text, ':');
    const size_t length = colon ? static_cast<size_t>(colon - text) : std::strlen(text);
    found.nameFits = length < sizeof found.name;
    if (found.nameFits) {
        std::memcpy(found.name, text, length);
        found.name[length] = '\0';
    }
    found.value = colon ? colon + 1 : nullptr;
    return found;
}

bool Fail(char* error, size_t errorSize, const char* format, const char* argument) {
    if (errorSize) snprintf(error, errorSize, format, argument);
    return false;
}

// A report file's name: present, not empty, and short enough for the system's ANSI paths.
bool TakePath(const Switch& given, const char* argument, char* path, char* error, size_t errorSize) {
    if (path[0]) return Fail(error, errorSize, "switch given twice: %s", argument);
    if (!given.value || !given.value[0]) return Fail(error, errorSize, "%s needs a file name, as in /log:FILE", argument);
    if (!CopyText(path, kReportPathSize, given.value)) return Fail(error, errorSize, "file name too long: %s", argument);
    return true;
}

// A switch that takes no value and may be given once.
bool TakeFlag(const Switch& given, const char* argument, bool* flag, char* error, size_t errorSize) {
    if (given.value) return Fail(error, errorSize, "%s takes no value", argument);
    if (*flag) return Fail(error, errorSize, "switch given twice: %s", argument);
    *flag = true;
    return true;
}

bool TakeRestart(const Switch& given, const char* argument, bool* seen, bool* restartNow, char* error,
                 size_t errorSize) {
    if (*seen) return Fail(error, errorSize, "switch given twice: %s", argument);
    *seen = true;
    if (given.value && CompareNoCase(given.value, "now") == 0) *restartNow = true;
    else if (given.value && CompareNoCase(given.value, "never") == 0) *restartNow = false;
    else return Fail(error, errorSize, "%s: say /restart:now or /restart:never", argument);
    return true;
}

bool TakeArgument(const char* argument, ConsoleOptions* options, bool* restartSeen, char* error, size_t errorSize) {
    if ((argument[0] != '/' && argument[0] != '-') || !argument[1])
        return Fail(error, errorSize, "unexpected argument: %s (switches start with / or -)", argument);
    const Switch given = Split(argument);
    if (!given.nameFits) return Fail(error, errorSize, "unknown switch: %s", argument);
    if (std::strcmp(given.name, "?") == 0) return TakeFlag(given, argument, &options->usage, error, errorSize);
    if (CompareNoCase(given.name, "detect") == 0) return TakeFlag(given, argument, &options->detectOnly, error, errorSize);
    if (CompareNoCase(given.name, "quiet") == 0) return TakeFlag(given, argument, &options->quiet, error, errorSize);
    if (CompareNoCase(given.name, "restart") == 0)
        return TakeRestart(given, argument, restartSeen, &options->restartNow, error, errorSize);
    if (CompareNoCase(given.name, "log") == 0) return TakePath(given, argument, options->logPath, error, errorSize);
    if (CompareNoCase(given.name, "json") == 0) return TakePath(given, argument, options->jsonPath, error, errorSize);
    return Fail(error, errorSize, "unknown switch: %s", argument);
}

}  // namespace

bool ParseCommandLine(int argc, const char* const* argv, ConsoleOptions* options, char* error, size_t errorSize) {
    *options = ConsoleOptions{};
    if (errorSize) error[0] = '\0';
    bool restartSeen = false;
    for (int i = 1; i < argc; ++i) {
        if (!argv[i]) return Fail(error, errorSize, "%s", "missing argument");
        if (!TakeArgument(argv[i], options, &restartSeen, error, errorSize)) return false;
    }
    // One file cannot take both reports: the second would overwrite or interleave with the first.
    if (options->logPath[0] && CompareNoCase(options->logPath, options->jsonPath) == 0)
        return Fail(error, errorSize, "the log and the JSON report cannot be the same file: %s", options->logPath);
    return true;
}
