// The decision whether one autorun value starts the infected file.
#include "core/autorun_rules.h"

#include <cstring>

#include "core/path_text.h"
#include "core/text.h"

namespace {

// The file name part of the path, or null when the path names no file in a folder.
const char* InfectedFileName(const char* path) {
    const char* name = FileNamePart(path);
    return name == path || *name == '\0' ? nullptr : name;
}

const char* WithoutLeadingQuote(const char* text) { return text[0] == '"' ? text + 1 : text; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// What may stand right before a program's file name in a command: the start of a folder part, a
// drive, an argument separator or an opening quote.
bool EndsNameBefore(char c) {
    return c == '\\' || c == '/' || c == ':' || IsBlank(c) || c == '"' || c == '=' || c == ',';
}

// What may follow a program's name or path in a command: the end, its arguments, a closing quote
// or the separator of an entry point or a list.
bool EndsNameAfter(char c) { return c == '\0' || IsBlank(c) || c == '"' || c == ',' || c == ';'; }

// A command that names no folder, or one rooted at the current drive. A network path (\\server\...)
// names a machine, not the current drive.
bool IsBareCommand(const char* data) {
    if (data[0] == '\\') return data[1] != '\\';
    return std::strchr(data, '\\') == nullptr;
}

// Starts with `path` as a whole program path, not as the beginning of a longer one.
bool StartsWithWholePath(const char* text, const char* path) {
    return StartsWithNoCase(text, path) && EndsNameAfter(text[std::strlen(path)]);
}

}  // namespace

bool ContainsWholeFileName(const char* data, const char* fileName) {
    const size_t length = std::strlen(fileName);
    if (length == 0) return false;
    for (const char* at = FindNoCase(data, fileName); at; at = FindNoCase(at + 1, fileName)) {
        const bool startsName = at == data || EndsNameBefore(at[-1]);
        if (startsName && EndsNameAfter(at[length])) return true;
    }
    return false;
}

bool CanJudgeAutorunValues(const char* infectedPath) { return infectedPath && InfectedFileName(infectedPath) != nullptr; }

AutorunVerdict JudgeAutorunValue(const char* data, const char* expanded, const char* infectedPath) {
    const char* fileName = InfectedFileName(infectedPath);
    if (!fileName) return AutorunVerdict::Keep;

    // Rule A: a command without a folder, or rooted at the current drive, can only be matched by
    // name; it is trusted only for files in a system folder (SysWOW64 is the 32-bit System32 of a
    // 64-bit Windows), where Windows finds them by name.
    // The name must stand whole: host.exe is not svchost.exe.
    if (IsBareCommand(data) && ContainsWholeFileName(data, fileName)) {
        bool inSystemFolder = FindNoCase(infectedPath, "\\system\\") || FindNoCase(infectedPath, "\\system32\\") ||
                              FindNoCase(infectedPath, "\\syswow64\\");
        return inSystemFolder ? AutorunVerdict::DeleteRuleA : AutorunVerdict::Keep;
    }

    // Rule B: the command starts with the full path, quoted or not, literally or once expanded,
    // and the path ends there (C:\tool.exe is not C:\tool.exe.bak\helper.exe).
    if (StartsWithWholePath(WithoutLeadingQuote(data), infectedPath) ||
        StartsWithWholePath(WithoutLeadingQuote(expanded), infectedPath))
        return AutorunVerdict::DeleteRuleB;
    return AutorunVerdict::Keep;
}
