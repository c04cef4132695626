// Removal of what restarts the worm: autorun values, the remembered value name, an infected hosts file.
#pragma once
#include <cstdint>

// Called once per match, before the file is removed; always 1.
int32_t CleanAutorunAndHosts(const char* detectionName);
