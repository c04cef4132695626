// The state one scan shares between its parts: all zero when a program run starts.
#include "core/scan_session.h"

ScanSession Session = {};
