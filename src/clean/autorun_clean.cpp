// Removal of what restarts the worm: autorun values, the uninstall entry, an infected hosts file.
#include "clean/autorun_clean.h"

// Stand-ins until the registry cleaning lands.
int32_t CleanAutorunAndHosts(const char*) { return 1; }
int32_t CleanUninstallEntry() { return 0; }
