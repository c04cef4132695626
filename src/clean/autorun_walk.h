// The walk over one autorun key that deletes the values starting the infected file.
#pragma once
#include <windows.h>

// Machine-wide autorun keys and the worm's uninstall key, as the cleaning spells them.
extern const char kRunKey[];
extern const char kRunServicesKey[];
extern const char kWormUninstallKey[];

// Judges every value of root\subkey (in registry view `view`, or 0 for the only one) against
// CurrentFilePath; deletes and reports the ones that start the infected file and remembers the
// last name in WormValueName.
void CleanAutorunValues(HKEY root, const char* subkey, REGSAM view = 0);

// Writes "System Registry     <name> removed" (seen only while there is a window to show it).
void ReportRegistryRemoval(const char* detectionName);
