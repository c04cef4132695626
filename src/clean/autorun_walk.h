// The walk over one autorun key that deletes the values starting the infected file.
#pragma once
#include <windows.h>

#include "core/autorun_rules.h"
#include "core/worm_facts.h"

// Judges every value of root\subkey (in registry view `view`, or 0 for the only one) against the
// infected file's full path, which the walk lower-cases in place (the caller's own copy); deletes
// and reports the values that start the file and remembers the last name in WormValueName.
void CleanAutorunValues(HKEY root, const char* subkey, REGSAM view, char* infectedPath);

// The same for a file reached by its true path in wide text (`infectedPath`, no "\\?\" prefix),
// whose ANSI form is not exactly its own: the values are read in wide text and judged by the same
// rules in UTF-8, so names and data outside the ANSI code page are read whole. The NT line only.
void CleanAutorunValuesWide(HKEY root, const char* subkey, REGSAM view, const wchar_t* infectedPath);

// Writes "System Registry     <name> removed" (seen only while there is a host to show it).
void ReportRegistryRemoval(const char* detectionName);

// Remembers the name of a value the walk deleted, to be deleted again wherever it turns up; a
// name that does not fit is not remembered (a cut name could be another value's).
void RememberWormValueName(const char* name);

// Carries out one value's verdict with the walk's own `deleteValue` and `remember`: rule A's name
// is remembered once the value is gone, rule B's even when the deletion fails. A deleted value is
// reported. True when the value was deleted.
template <typename Delete, typename Remember>
bool CarryOutVerdict(AutorunVerdict verdict, Delete deleteValue, Remember remember) {
    if (verdict == AutorunVerdict::Keep) return false;
    if (verdict == AutorunVerdict::DeleteRuleB) remember();
    if (!deleteValue()) return false;
    if (verdict == AutorunVerdict::DeleteRuleA) remember();
    ReportRegistryRemoval(kWormName);
    return true;
}
