// The console program as the scan's host: lines printed and reported, no question ever asked, the
// notices that were message boxes turned into errors, the cancel flag read at every pump.
#pragma once
#include <cstdint>

#include "console/console_output.h"
#include "console/run_reports.h"
#include "core/scan_host.h"
#include "core/scan_session.h"

class ConsoleHost final : public ScanHost {
public:
    ConsoleHost(ConsoleOutput& output, RunReports& reports) : output_(output), reports_(reports) {}

    void AddLine(const char* line) override;
    void ShowStatus(const char* text) override;
    int32_t Ask(const char* text, const char* title, uint32_t style) override;
    void Notify(const char* text, const char* caption) override;
    bool PumpOneMessage() override;

    // A line that leaves a file until the restart gets its outcome once the scheduling that follows
    // it is over: at the host's next call, or here, once nothing more follows.
    void Settle();

    int32_t findings() const { return findings_; }
    int32_t remaining() const { return remaining_; }  // neither removed, renamed nor scheduled

private:
    void Report(const char* line, bool scheduled);

    ConsoleOutput& output_;
    RunReports& reports_;
    char waitingLine_[kReportLineSize] = {};
    bool waiting_ = false;
    int32_t scheduledBefore_ = 0;  // Session.RemovalsScheduled when the waiting line came
    int32_t findings_ = 0;
    int32_t remaining_ = 0;
    uint32_t lastPump_ = 0;  // tick count of the last look at the window messages
};
