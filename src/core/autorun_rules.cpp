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

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A '/' inside a path (c:/tools/x.exe, tools/x.exe) separates folders, as Windows reads it; one
// that opens an argument (x.exe /s) is a switch.
bool IsPathSlash(const char* text, const char* at) {
    return at > text && !IsBlank(at[-1]) && at[-1] != '"' && at[-1] != '=' && at[-1] != ',';
}

// A command that names no folder at all: only a name, found where Windows finds programs.
bool IsBareCommand(const char* data) {
    if (std::strchr(data, '\\')) return false;
    for (const char* at = std::strchr(data, '/'); at; at = std::strchr(at + 1, '/'))
        if (IsPathSlash(data, at)) return false;
    return true;
}

// A command rooted at the current drive (\folder\x.exe); a network path (\\server\...) names a
// machine, not the drive.
bool IsRooted(const char* text) { return IsSeparator(text[0]) && !IsSeparator(text[1]); }

// Starts with `path` as a whole program path, not as the beginning of a longer one; case is
// ignored, and a '/' of the command stands for a '\\' of the path (the file system's paths hold
// no '/').
bool StartsWithWholePath(const char* text, const char* path) {
    size_t i = 0;
    for (; path[i]; ++i) {
        const bool same = (text[i] == '/' && path[i] == '\\') || LowerAscii(text[i]) == LowerAscii(path[i]);
        if (!text[i] || !same) return false;
    }
    return EndsNameAfter(text[i]);
}

// The path begins with a drive: a letter, a colon and the root's backslash.
bool HasDrive(const char* path) {
    const char letter = LowerAscii(path[0]);
    return letter >= 'a' && letter <= 'z' && path[1] == ':' && path[2] == '\\';
}

// Rule B for one form of the command: it starts with the infected file's full path, or, rooted at
// the current drive, with the rest of that path after its drive.
bool StartsTheFile(const char* text, const char* infectedPath) {
    text = WithoutLeadingQuote(text);
    if (!IsRooted(text)) return StartsWithWholePath(text, infectedPath);
    return HasDrive(infectedPath) && StartsWithWholePath(text, infectedPath + 2);
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

    // Rule A: a command without a folder can only be matched by name; it is trusted only for
    // files in a system folder (SysWOW64 is the 32-bit System32 of a 64-bit Windows), where Windows
    // finds them by name. The name must stand whole: host.exe is not svchost.exe.
    if (IsBareCommand(data) && ContainsWholeFileName(data, fileName)) {
        bool inSystemFolder = FindNoCase(infectedPath, "\\system\\") || FindNoCase(infectedPath, "\\system32\\") ||
                              FindNoCase(infectedPath, "\\syswow64\\");
        return inSystemFolder ? AutorunVerdict::DeleteRuleA : AutorunVerdict::Keep;
    }

    // Rule B: the command starts with the full path, quoted or not, literally or once expanded,
    // and the path ends there (C:\tool.exe is not C:\tool.exe.bak\helper.exe). A command rooted at
    // the current drive runs from the drive the system started it from; it is taken as the
    // infected file's, so the worm's own \windows\system32\x.exe goes and \tools\x.exe stays.
    if (StartsTheFile(data, infectedPath) || StartsTheFile(expanded, infectedPath)) return AutorunVerdict::DeleteRuleB;
    return AutorunVerdict::Keep;
}
