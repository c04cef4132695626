// Result lines and status text for the main window.
#include "scan/report.h"

#include <cstdarg>
#include <cstdio>

#include "common/text.h"
#include "platform/wow64.h"

HWND MainWindowHandle = nullptr;

void WriteReportLine(const char* format, ...) {
    FileSystemRedirectionPause windowCode;
    va_list args;
    va_start(args, format);
    vsnprintf(ReportLineBuffer, sizeof ReportLineBuffer, format, args);
    va_end(args);
    SendMessageA(MainWindowHandle, UM_ADDLINE, 0, 0);
}

void ShowStatus(const char* text) {
    FileSystemRedirectionPause windowCode;
    CopyText(StatusText, sizeof StatusText, text);
    SendMessageA(MainWindowHandle, UM_SHOWSTATUS, 0, 0);
}
