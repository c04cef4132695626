// The JSON document and the log record of an unattended run, as text.
#include "console/run_report.h"

#include <cstring>

#include "core/product_version.h"

namespace {

void AppendTwoDigits(BoundedText& out, int value) {
    const char digits[2] = {static_cast<char>('0' + (value / 10) % 10), static_cast<char>('0' + value % 10)};
    out.Append(digits, 2);
}

const char* ModeWord(bool detectOnly) { return detectOnly ? "detect" : "clean"; }

// The names the report gives are plain ASCII: no decoding needed.
void AppendMember(BoundedText& out, const char* name) {
    out.Append("\"");
    out.Append(name);
    out.Append("\": ");
}

}  // namespace

void AppendUtcTime(BoundedText& out, const UtcTime& time) {
    if (time.year < 0 || time.year > 9999) {
        out.MarkCut();
        return;
    }
    AppendTwoDigits(out, time.year / 100);
    AppendTwoDigits(out, time.year % 100);
    out.AppendChar('-');
    AppendTwoDigits(out, time.month);
    out.AppendChar('-');
    AppendTwoDigits(out, time.day);
    out.AppendChar('T');
    AppendTwoDigits(out, time.hour);
    out.AppendChar(':');
    AppendTwoDigits(out, time.minute);
    out.AppendChar(':');
    AppendTwoDigits(out, time.second);
    out.AppendChar('Z');
}

void AppendJsonHead(BoundedText& out, const RunStart& start, AnsiDecoder decode) {
    out.Append("{\n  ");
    AppendMember(out, "tool");
    out.Append("\"");
    out.Append(kToolName);
    out.Append("\",\n  ");
    AppendMember(out, "version");
    out.Append("\"" PURGIX_VERSION_TEXT "\",\n  ");
    AppendMember(out, "computer");
    AppendJsonText(out, start.computer, decode);
    out.Append(",\n  ");
    AppendMember(out, "started");
    out.AppendChar('"');
    AppendUtcTime(out, start.started);
    out.Append("\",\n  ");
    AppendMember(out, "mode");
    out.AppendChar('"');
    out.Append(ModeWord(start.detectOnly));
    out.Append("\",\n  ");
    AppendMember(out, "findings");
    out.AppendChar('[');
}

void AppendJsonFinding(BoundedText& out, const FindingText& finding, const char* line, bool first, AnsiDecoder decode) {
    out.Append(first ? "\n    {" : ",\n    {");
    AppendMember(out, "object");
    AppendJsonText(out, finding.object, finding.objectLength, decode);
    out.Append(", ");
    AppendMember(out, "detection");
    AppendJsonText(out, finding.detection, finding.detectionLength, decode);
    out.Append(", ");
    AppendMember(out, "outcome");
    out.AppendChar('"');
    out.Append(OutcomeWord(finding.outcome));
    out.Append("\", ");
    AppendMember(out, "line");
    AppendJsonText(out, line, decode);
    out.AppendChar('}');
}

void AppendJsonTail(BoundedText& out, const RunEnd& end) {
    out.Append("\n  ],\n  ");
    AppendMember(out, "ended");
    out.AppendChar('"');
    AppendUtcTime(out, end.ended);
    out.Append("\",\n  ");
    AppendMember(out, "complete");
    out.Append(end.complete ? "true" : "false");
    out.Append(",\n  ");
    AppendMember(out, "exitCode");
    out.AppendNumber(end.exitCode);
    out.Append(",\n  ");
    AppendMember(out, "restartPending");
    out.Append(end.restartPending ? "true" : "false");
    out.Append(",\n  ");
    AppendMember(out, "counts");
    out.AppendChar('{');
    AppendMember(out, "scanned");
    out.AppendNumber(end.counts.filesScanned);
    out.Append(", ");
    AppendMember(out, "infected");
    out.AppendNumber(end.counts.filesInfected);
    out.Append(", ");
    AppendMember(out, "removed");
    out.AppendNumber(end.counts.filesRemoved);
    out.Append("}\n}\n");
}

void AppendLogHead(BoundedText& out, const RunStart& start) {
    out.Append("==== ");
    out.Append(kToolName);
    out.Append(" " PURGIX_VERSION_TEXT " ====\r\nComputer:  ");
    out.Append(start.computer);
    out.Append("\r\nStarted:   ");
    AppendUtcTime(out, start.started);
    out.Append("\r\nVersion:   " PURGIX_VERSION_TEXT "\r\nMode:      ");
    out.Append(ModeWord(start.detectOnly));
    out.Append("\r\n");
}

void AppendLogTail(BoundedText& out, const RunEnd& end) {
    out.Append("Ended:     ");
    AppendUtcTime(out, end.ended);
    out.Append(end.complete ? "\r\nComplete:  yes" : "\r\nComplete:  no");
    out.Append(end.restartPending ? "\r\nRestart:   a removal waits for it" : "\r\nRestart:   not needed");
    out.Append("\r\nExit code: ");
    out.AppendNumber(end.exitCode);
    out.Append("\r\n\r\n");
}
