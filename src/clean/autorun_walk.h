// The walk over one autorun key that deletes the values starting the infected file.
#pragma once
#include <windows.h>

// Judges every value of root\subkey (in registry view `view`, or 0 for the only one) against the
// infected file's full path, which the walk lower-cases in place (the caller's own copy); deletes
// and reports the values that start the file and remembers the last name in WormValueName.
void CleanAutorunValues(HKEY root, const char* subkey, REGSAM view, char* infectedPath);

// Writes "System Registry     <name> removed" (seen only while there is a host to show it).
void ReportRegistryRemoval(const char* detectionName);
