// The restart an unattended run may end with, started so that the run still ends with its own code.
#pragma once

// Seconds between the request and the restart on the NT line: time for the program to end and for
// whatever started it to read its exit code.
constexpr unsigned kRestartDelaySeconds = 10;

// Asks for a forced restart: on the NT line a delayed one (InitiateSystemShutdownA, looked up at run
// time, once the shutdown privilege is enabled), else at once. True when the system accepted it.
bool StartRestart();
