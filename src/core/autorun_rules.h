// The decision whether one autorun value starts the infected file.
#pragma once

enum class AutorunVerdict {
    Keep,         // the value does not start the infected file (or rule A holds outside a system folder)
    DeleteRuleA,  // command without a folder naming the infected file, which lies in a system folder
    DeleteRuleB,  // command that starts with the infected file's full path (or, rooted at a drive
                  // without its letter, with that path on the infected file's drive)
};

// True when `fileName` occurs in `data` as a whole name (ignoring case): after the start, a folder
// separator, a drive colon, a blank or tab, a quotation mark, '=' or ','; before the end, a blank or
// tab, a quotation mark, ',' or ';'.
bool ContainsWholeFileName(const char* data, const char* fileName);

// True when the autorun walk can judge values against this path (it names a file in a folder).
bool CanJudgeAutorunValues(const char* infectedPath);

// Judges one value: `data` as stored, `expanded` after environment expansion, both lower-cased,
// and the infected file's full path, lower-cased. Case is ignored by the comparisons anyway, and
// a '/' in a command is read as the '\' Windows takes it for.
AutorunVerdict JudgeAutorunValue(const char* data, const char* expanded, const char* infectedPath);
