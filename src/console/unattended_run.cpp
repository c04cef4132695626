// One unattended run: the mark, the reports, the scan, what the outcome asks for, the exit code.
#include "console/unattended_run.h"

#include <cstdio>

#include "console/console_host.h"
#include "console/console_output.h"
#include "console/delayed_restart.h"
#include "console/exit_code.h"
#include "console/instance_mark.h"
#include "console/machine_facts.h"
#include "console/run_reports.h"
#include "core/scan_session.h"

namespace {

constexpr char kWormKeepsRunningNote[] =
    "W32/Vorlex.Trojan  found in memory, and it keeps running: its registry entries are removed; restart the "
    "computer and run PurgixCmd again to scan the drives.";

RunEnd EndOf(const ScanOutcome& outcome, int32_t exitCode, bool restartPending) {
    return RunEnd{UtcNow(), outcome.end == ScanEnd::kCompleted, exitCode, restartPending, Session.ScanCounters};
}

// The reports are written; whatever fails now can only be said on standard error.
int32_t CloseReports(RunReports& reports, ConsoleOutput& output, int32_t exitCode) {
    char failed[kReportPathSize] = {};
    if (reports.Close(failed, sizeof failed)) return exitCode;
    char message[kReportPathSize + 64];
    snprintf(message, sizeof message, "PurgixCmd: the report %s could not be written whole", failed);
    output.Error(message);
    return kExitCannotRun;
}

}  // namespace

int32_t RunUnattended(const ConsoleOptions& options, ScanEntry scan) {
    ConsoleOutput output(options.quiet);
    if (PurgixIsRunning()) {
        output.Error("PurgixCmd: another copy of Purgix is running; nothing was done.");
        return kExitCannotRun;
    }
    InstanceMark mark;
    if (!mark.Create()) {
        output.Error("PurgixCmd: cannot create the window that keeps a second Purgix from starting; nothing was done.");
        return kExitCannotRun;
    }
    RunReports reports;
    char error[kReportPathSize + 96];
    if (!reports.Open(options, error, sizeof error)) {
        char message[sizeof error + 32];
        snprintf(message, sizeof message, "PurgixCmd: %s; nothing was done.", error);
        output.Error(message);
        return kExitCannotRun;
    }
    char computer[64];
    ComputerName(computer, sizeof computer);
    reports.WriteHead(RunStart{computer, UtcNow(), options.detectOnly});

    ConsoleHost host(output, reports);
    ScanOptions scanOptions{kActionDelete, options.detectOnly};
    // Nobody is there to be asked: a worm that keeps running has its file go at the next restart.
    scanOptions.scheduleRunningWorm = true;
    const ScanOutcome outcome = scan(scanOptions, host);
    host.Settle();
    output.EndProgress();
    if (outcome.end == ScanEnd::kWormKeepsRunning) {
        output.Line(kWormKeepsRunningNote);
        reports.WriteLine(kWormKeepsRunningNote);
    }

    RunVerdict verdict = {};
    // A report cut short is no report: its reader is told so by the exit code (and no restart comes).
    verdict.cannotRun = reports.WriteFailed();
    verdict.cancelled = outcome.end == ScanEnd::kTerminated;
    verdict.detectOnly = options.detectOnly;
    verdict.findings = host.findings();
    verdict.remaining = host.remaining();
    verdict.restartPending = Session.RemovalsScheduled > 0 || Session.RestartNeeded != 0;
    // A cancelled run never restarts: whoever stopped it is there to decide.
    verdict.restartStarted = options.restartNow && verdict.restartPending && !verdict.cancelled && !verdict.cannotRun;
    int32_t exitCode = ChooseExitCode(verdict);
    // Written before the restart is asked for: on some systems it ends this program at once.
    reports.WriteTail(EndOf(outcome, exitCode, verdict.restartPending));
    if (verdict.restartStarted && !StartRestart()) {
        verdict.restartStarted = false;
        exitCode = ChooseExitCode(verdict);
        reports.RewriteTail(EndOf(outcome, exitCode, verdict.restartPending), "The restart could not be started.");
        output.Error("PurgixCmd: the restart could not be started; the removal finishes at the next restart.");
    }
    return CloseReports(reports, output, exitCode);
}
