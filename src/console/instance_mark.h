// One Purgix at a time: the window program and the console program share one mark, a top-level
// window titled "Purgix Ver 1.0", which the window program's start-up already looks for.
#pragma once
#include <windows.h>

// True when a top-level window of the product's title exists, whatever program it belongs to.
bool PurgixIsRunning();

// A hidden top-level window of that title, held for the whole run. It also hears the polite ways
// to stop a program that has no console: WM_CLOSE (as taskkill without /F sends it) and the end of
// the session; both stop the scan as Ctrl+C does.
class InstanceMark {
public:
    InstanceMark() = default;
    ~InstanceMark();
    InstanceMark(const InstanceMark&) = delete;
    InstanceMark& operator=(const InstanceMark&) = delete;

    bool Create();

private:
    HWND window_ = nullptr;
};

// Handles at most one waiting message of this thread (the mark's, and any sent to it).
void PumpOneThreadMessage();
