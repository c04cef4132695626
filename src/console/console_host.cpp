// The scan's host in the console program: stdout, the reports, and a pump that only reads the cancel flag.
#include "console/console_host.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "console/cancel_signal.h"
#include "console/instance_mark.h"
#include "console/result_finding.h"
#include "core/text.h"
#include "platform/wow64.h"

namespace {
constexpr int32_t kAnswerNo = 7;  // IDNO: an unattended run answers every question No
// The mark's messages are looked at this often (ms): a broadcast waits no longer than that, and the
// walk, which pumps twice for every entry, does not pay a message-queue look each time.
constexpr uint32_t kPumpInterval = 50;

// A line that fills the engine's whole line buffer was cut there: a finding on a very long path
// (one without a short form) lost its end, its outcome with it.
bool CutByTheEngine(const char* line) { return std::strlen(line) >= static_cast<size_t>(kReportLineSize) - 1; }
}  // namespace

void ConsoleHost::Report(const char* line, bool scheduled) {
    FindingText finding;
    if (!ReadFinding(line, &finding)) return;
    if (finding.awaitsScheduling && scheduled) finding.outcome = FindingOutcome::kScheduled;
    reports_.WriteFinding(finding, line);
    ++findings_;
    if (finding.outcome == FindingOutcome::kFailed) ++remaining_;
}

void ConsoleHost::Settle() {
    if (!waiting_) return;
    waiting_ = false;
    Report(waitingLine_, Session.RemovalsScheduled > scheduledBefore_);
}

void ConsoleHost::AddLine(const char* line) {
    Settle();
    output_.Line(line);
    reports_.WriteLine(line);
    FindingText finding;
    if (!ReadFinding(line, &finding)) {
        // It cannot be told what it found, but it found something, and nothing says it went.
        if (CutByTheEngine(line)) {
            ++findings_;
            ++remaining_;
        }
        return;
    }
    if (finding.awaitsScheduling) {
        // The scheduling of its removal at the restart comes right after this line.
        CopyText(waitingLine_, sizeof waitingLine_, line);
        scheduledBefore_ = Session.RemovalsScheduled;
        waiting_ = true;
        return;
    }
    Report(line, false);
}

void ConsoleHost::ShowStatus(const char* text) {
    Settle();
    output_.Progress(text, Session.ScanCounters.filesScanned);
}

int32_t ConsoleHost::Ask(const char*, const char*, uint32_t) {
    Settle();
    return kAnswerNo;
}

void ConsoleHost::Notify(const char* text, const char* caption) {
    Settle();
    char notice[kReportLineSize];
    snprintf(notice, sizeof notice, "%s: %s", caption, text);
    output_.Error(notice);
    reports_.WriteLine(notice);
}

bool ConsoleHost::PumpOneMessage() {
    Settle();
    const uint32_t now = GetTickCount();
    if (now - lastPump_ >= kPumpInterval) {
        lastPump_ = now;
        // The mark's window code may load DLLs of its own, which must be the program's bitness.
        FileSystemRedirectionPause windowCode;
        PumpOneThreadMessage();
    }
    return CancelRequested();
}
