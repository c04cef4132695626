// The state one scan shares between its parts, and the values a program run starts with.
#include "core/scan_session.h"

ScanSession FreshScanSession() {
    ScanSession fresh = {};
    fresh.MemoryScanMode = true;
    fresh.KnownEntrySize = -1;
    return fresh;
}

ScanSession Session = FreshScanSession();
