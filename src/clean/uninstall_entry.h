// Removal of the worm's uninstall command and of the autorun value that comes with it.
#pragma once
#include <cstdint>

// Called after every successful deletion of an infected file, in every registry view; 1 when the
// entry was handled in one of them.
int32_t CleanUninstallEntry();
