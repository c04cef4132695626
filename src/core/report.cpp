// What the engine says to its host: result lines, the status text, questions and the cancel check.
#include "core/report.h"

#include <cstdarg>
#include <cstdio>

#include "core/path_text.h"
#include "core/scan_session.h"
#include "core/text.h"

namespace {
constexpr int32_t kAnswerNo = 7;  // IDNO: what an unseen question is taken to answer
constexpr int16_t kStatusWidth = 60;
}  // namespace

void WriteReportLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(Session.ReportLineBuffer, sizeof Session.ReportLineBuffer, format, args);
    va_end(args);
    if (Session.host) Session.host->AddLine(Session.ReportLineBuffer);
}

void ShowStatus(const char* text) {
    CopyText(Session.StatusText, sizeof Session.StatusText, text);
    if (Session.host) Session.host->ShowStatus(Session.StatusText);
}

void ShowPathStatus(const char* path) {
    char shown[kMaxPathChars + 1];
    ShortenPath(path, shown, sizeof shown, kStatusWidth);
    ShowStatus(shown);
}

int32_t AskUser(const char* text, const char* title, uint32_t style) {
    return Session.host ? Session.host->Ask(text, title, style) : kAnswerNo;
}

void NotifyUser(const char* text, const char* caption) {
    if (Session.host) Session.host->Notify(text, caption);
}

bool PumpAndCheckCancel() {
    if (Session.host && Session.host->PumpOneMessage()) Session.ScanCancelled = true;
    return Session.ScanCancelled;
}
