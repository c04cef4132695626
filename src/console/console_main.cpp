// PurgixCmd's entry: the switches, the usage, and one unattended run.
#include <windows.h>

#include <cstdio>

#include "console/cancel_signal.h"
#include "console/command_line.h"
#include "console/console_output.h"
#include "console/exit_code.h"
#include "console/unattended_run.h"
#include "platform/dll_search.h"
#include "scan/scan_driver.h"

int main(int argc, char** argv) {
    // Before anything makes the system load a DLL by a bare name.
    KeepDllSearchInSystemFolder();
    // Then: a Ctrl+C before the scan starts must not end the program its own way.
    ListenForCancel();
    ConsoleOptions options;
    char error[kCommandLineErrorSize];
    if (!ParseCommandLine(argc, argv, &options, error, sizeof error)) {
        char message[kCommandLineErrorSize + 64];
        snprintf(message, sizeof message, "PurgixCmd: %s. PurgixCmd /? shows the switches.", error);
        ConsoleOutput(false).Error(message);
        return kExitCannotRun;
    }
    if (options.usage) {
        ConsoleOutput(false).Line(kUsageText);
        return kExitClean;
    }
    const int32_t code = RunUnattended(options, ScanDriver);
    // Ends the process here, not by returning: a console handler waiting for the reports must not
    // get to return first.
    ExitProcess(static_cast<UINT>(code));
}
