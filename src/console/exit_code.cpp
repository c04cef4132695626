// The console program's exit code, chosen in a fixed order when several apply.
#include "console/exit_code.h"

int32_t ChooseExitCode(const RunVerdict& verdict) {
    if (verdict.cannotRun) return kExitCannotRun;
    if (verdict.cancelled) return kExitCancelled;
    if (verdict.detectOnly ? verdict.findings > 0 : verdict.remaining > 0) return kExitInfectedRemains;
    if (verdict.restartPending && verdict.restartStarted) return kExitRestartStarted;
    if (verdict.restartPending) return kExitRestartPending;
    return kExitClean;
}
