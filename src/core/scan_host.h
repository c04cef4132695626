// The one way the engine reaches whatever shows the scan: lines, status, questions, the message pump.
#pragma once
#include <cstdint>

// Implemented by the main window (each call a window message or a dialog of its own); tests put a
// plain fake in its place. Every call is made on the user-interface thread.
class ScanHost {
public:
    // Appends a result line (already in ReportLineBuffer when the engine wrote it).
    virtual void AddLine(const char* line) = 0;
    // Shows the status text (already in StatusText when the engine set it).
    virtual void ShowStatus(const char* text) = 0;
    // Asks a question in the program's own message dialog; style and answer as a message box's
    // (MB_YESNO | MB_ICONQUESTION, IDYES ...).
    virtual int32_t Ask(const char* text, const char* title, uint32_t style) = 0;
    // Shows a plain system notice with an OK button and no owner window.
    virtual void Notify(const char* text, const char* caption) = 0;
    // Handles at most one waiting window message; true when it asked for the scan to stop.
    virtual bool PumpOneMessage() = 0;

protected:
    ~ScanHost() = default;
};
