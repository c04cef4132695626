// Feeds the autorun rules with commands as a worm might write them: a value judged to start the
// infected file must at least name it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/autorun_rules.h"
#include "core/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The input: stored data, NUL, expanded data, NUL, infected path.
    std::string rest(reinterpret_cast<const char*>(data), size);
    std::string parts[3];
    for (std::string& part : parts) {
        size_t end = rest.find('\0');
        part = rest.substr(0, end);
        rest = end == std::string::npos ? "" : rest.substr(end + 1);
    }
    const std::string& stored = parts[0];
    const std::string& expanded = parts[1];
    const std::string& infected = parts[2];

    AutorunVerdict verdict = JudgeAutorunValue(stored.c_str(), expanded.c_str(), infected.c_str());
    ContainsWholeFileName(stored.c_str(), expanded.c_str());
    if (verdict == AutorunVerdict::Keep) return 0;
    if (!CanJudgeAutorunValues(infected.c_str())) __builtin_trap();
    const char* fileName = std::strrchr(infected.c_str(), '\\') + 1;
    const bool named = FindNoCase(stored.c_str(), fileName) || FindNoCase(expanded.c_str(), fileName);
    if (!named) __builtin_trap();
    if (verdict == AutorunVerdict::DeleteRuleA && !ContainsWholeFileName(stored.c_str(), fileName)) __builtin_trap();
    return 0;
}
