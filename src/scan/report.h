// How the engine talks to the main window: result lines and the status text, sent synchronously.
#pragma once
#include <windows.h>

#include "scan/scan_state.h"

constexpr UINT UM_SHOWSTATUS = 0x000A;  // show StatusText in the status label
constexpr UINT UM_ADDLINE = 0x000B;     // append ReportLineBuffer to the result list

extern HWND MainWindowHandle;  // set by the Scan button; null until then

// Formats a line into ReportLineBuffer (cut to fit) and sends UM_ADDLINE to MainWindowHandle.
void WriteReportLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Copies text into StatusText (cut to fit) and sends UM_SHOWSTATUS.
void ShowStatus(const char* text);
