// Definitions of the file checker's shared state.
#include "detect/detect_state.h"

char LastDetectionName[260];
char CurrentFilePath[261];
char WormValueName[128];
