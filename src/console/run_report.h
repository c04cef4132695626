// The two reports of an unattended run, piece by piece: the JSON document and the log record.
#pragma once
#include <cstdint>

#include "console/bounded_text.h"
#include "console/json_text.h"
#include "console/result_finding.h"
#include "core/scan_session.h"

// A moment in UTC, as the system clock gives it.
struct UtcTime {
    int year, month, day, hour, minute, second;
};

// Appends the time in ISO 8601: "2026-12-01T09:30:00Z".
void AppendUtcTime(BoundedText& out, const UtcTime& time);

// What is known when the run starts.
struct RunStart {
    const char* computer;  // the computer's name (8-bit text)
    UtcTime started;
    bool detectOnly;
};

// What is known when it ends.
struct RunEnd {
    UtcTime ended;
    bool complete;         // memory and every fixed drive were scanned to the end
    int32_t exitCode;
    bool restartPending;   // a removal waits for the next restart
    ScanCounterSet counts;
};

constexpr char kToolName[] = "PurgixCmd";

// The JSON document is written in three parts so that its findings can go out one by one while
// the scan runs: the head (up to the opening of "findings"), each finding, and the tail (closing
// the list, then the members only the end knows).
void AppendJsonHead(BoundedText& out, const RunStart& start, AnsiDecoder decode);
void AppendJsonFinding(BoundedText& out, const FindingText& finding, const char* line, bool first, AnsiDecoder decode);
void AppendJsonTail(BoundedText& out, const RunEnd& end);

// The log record: a head of the run's facts, the result lines as the window lists them (each
// followed by "\r\n"), and a tail with the end and the exit code.
void AppendLogHead(BoundedText& out, const RunStart& start);
void AppendLogTail(BoundedText& out, const RunEnd& end);
