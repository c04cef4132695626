// What the engine says to its host: result lines, the status text, questions and the cancel check.
#pragma once
#include <cstdint>

// Formats a line into ReportLineBuffer (cut to fit) and has the host append it.
void WriteReportLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Copies text into StatusText (cut to fit) and has the host show it.
void ShowStatus(const char* text);
// Shows a path in the status label, shortened to the label's 60 characters.
void ShowPathStatus(const char* path);
// Asks through the host; without a host the question is never seen and the answer is IDNO.
int32_t AskUser(const char* text, const char* title, uint32_t style);
// A plain notice through the host.
void NotifyUser(const char* text, const char* caption);
// Lets the window handle one waiting message; true once the scan is to stop (ScanCancelled).
bool PumpAndCheckCancel();
