// Stopping an unattended run from outside: Ctrl+C, Ctrl+Break, the console closing, the session ending.
#pragma once

// Installs the console's control handler. Ctrl+C and Ctrl+Break ask the scan to stop and return at
// once; for the console closing or the session ending the handler holds the system back (it ends
// the process as soon as the handler returns) while the scan stops and the reports are written:
// the run then ends the process itself, with its own exit code.
void ListenForCancel();

// Asks the scan to stop, as the window's Cancel does (safe from any thread).
void RequestCancel();
bool CancelRequested();
