// Keeps the main window alive during a walk: handles at most one waiting message per call.
#pragma once

// Takes one waiting message of this thread, if any. A message carrying the Escape key code in
// the low word of wParam asks "Terminate the Scan now?"; a quit or destroy message cancels at
// once; anything else is translated and dispatched. Sets ScanCancelled; never clears it.
void PumpOneMessage();
