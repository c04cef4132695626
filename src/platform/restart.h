// Restarting the machine at once, for a removal that waits for the next start of Windows.
#pragma once

// Forces a reboot; on the NT line only once the shutdown privilege could be enabled.
void RestartComputer();
