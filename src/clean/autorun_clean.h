// Removal of what restarts the worm: autorun values, the uninstall entry, an infected hosts file.
#pragma once
#include <cstdint>

// Called once per match, before the file is removed; always 1.
int32_t CleanAutorunAndHosts(const char* detectionName);
// Called after every successful deletion of an infected file; 1 when the entry was handled.
int32_t CleanUninstallEntry();
