// Deletion of an infected file at the next start of Windows.
#include "detect/restart_removal.h"

// Stand-in until the delayed delete and the rename list land: nothing is scheduled.
int32_t ScheduleRemovalAtRestart(const char*) { return 0; }
