// The engine tests' host: records what a scan shows, answers from a script.
#include "recording_host.h"

#include "core/scan_session.h"

namespace {
constexpr int32_t kNo = 7;  // IDNO
}  // namespace

std::vector<std::string> RecordingHost::QuestionTexts() const {
    std::vector<std::string> texts;
    for (const Question& q : questions) texts.push_back(q.text);
    return texts;
}

void RecordingHost::AddLine(const char* line) { lines.emplace_back(line); }

void RecordingHost::ShowStatus(const char* text) {
    statuses.emplace_back(text);
    if (cancelArmed_ && statuses.back() == cancelStatus_) {
        cancelArmed_ = false;
        cancelDue_ = true;
    }
    if (onStatus) onStatus(statuses.back());
}

int32_t RecordingHost::Ask(const char* text, const char* title, uint32_t style) {
    questions.push_back({text, title, style});
    if (answers.empty()) return kNo;
    const int32_t answer = answers.front();
    answers.pop_front();
    return answer;
}

void RecordingHost::Notify(const char* text, const char* caption) { notices.push_back({text, caption}); }

bool RecordingHost::PumpOneMessage() {
    ++pumps;
    const bool cancel = cancelDue_;
    cancelDue_ = false;
    return cancel;
}

void StartSession(ScanHost* host) {
    Session = {};
    Session.host = host;
    Session.RemovalAction = kActionDelete;
}
