// Definitions of the shared scan state, with its start values.
#include "scan/scan_state.h"

ScanCounterSet ScanCounters = {0, 0, 0};
char ReportLineBuffer[kReportLineSize];
char StatusText[kStatusTextSize];
char ScanTarget[kStatusTextSize];
bool ScanCancelled = false;
bool ScanRunning = false;
bool ScanFinished = false;
int32_t RestartNeeded = 0;
int32_t RemovalAction = 0;
bool MemoryScanMode = true;
bool MemoryHit = false;
int32_t MemoryRemovalRequest = 0;
