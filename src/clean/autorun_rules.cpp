// The decision whether one autorun value starts the infected file.
#include "clean/autorun_rules.h"

#include <cstring>

#include "common/text.h"

namespace {

// The file name part of the path, or null when the path names no file in a folder.
const char* FileNamePart(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    if (!slash || slash[1] == '\0') return nullptr;
    return slash + 1;
}

const char* WithoutLeadingQuote(const char* text) { return text[0] == '"' ? text + 1 : text; }

}  // namespace

bool CanJudgeAutorunValues(const char* infectedPath) { return infectedPath && FileNamePart(infectedPath) != nullptr; }

AutorunVerdict JudgeAutorunValue(const char* data, const char* expanded, const char* infectedPath) {
    const char* fileName = FileNamePart(infectedPath);
    if (!fileName) return AutorunVerdict::Keep;

    // Rule A: a command without a folder, or rooted at the current drive, can only be matched by
    // name; it is trusted only for files in a system folder, where Windows finds them by name.
    bool bare = std::strchr(data, '\\') == nullptr || data[0] == '\\';
    if (bare && FindNoCase(data, fileName)) {
        bool inSystemFolder = FindNoCase(infectedPath, "\\system\\") || FindNoCase(infectedPath, "\\system32\\");
        return inSystemFolder ? AutorunVerdict::DeleteRuleA : AutorunVerdict::Keep;
    }

    // Rule B: the command starts with the full path, quoted or not, literally or once expanded.
    if (StartsWithNoCase(WithoutLeadingQuote(data), infectedPath) ||
        StartsWithNoCase(WithoutLeadingQuote(expanded), infectedPath))
        return AutorunVerdict::DeleteRuleB;
    return AutorunVerdict::Keep;
}
