// The main window as the scan's host: result lines and status through the window messages the
// engine has always sent, questions in the message dialog, and the walk's message pump.
#pragma once
#include <windows.h>

#include "core/scan_host.h"

constexpr UINT UM_SHOWSTATUS = 0x000A;  // show StatusText in the status label
constexpr UINT UM_ADDLINE = 0x000B;     // append ReportLineBuffer to the result list

extern HWND MainWindowHandle;  // the window the scan reports to; null until Scan is pressed

// The scan's host in this program: it reports to MainWindowHandle.
ScanHost& MainWindowHost();

// The one "Terminate the Scan now?" question, under `title`; the answer as a message box gives it.
int32_t AskToTerminateScan(const char* title);
