// The engine tests' host: it records every line, status, question and notice a scan shows, and
// answers questions and reports cancels from a script, with no window at all.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/scan_host.h"

class RecordingHost final : public ScanHost {
public:
    struct Question {
        std::string text;
        std::string title;
        uint32_t style;
    };
    struct Notice {
        std::string text;
        std::string caption;
    };

    std::vector<std::string> lines;     // every result line, in order
    std::vector<std::string> statuses;  // every status text, in order
    std::vector<Question> questions;    // every question asked
    std::vector<Notice> notices;        // every plain notice shown
    std::deque<int32_t> answers;        // answers to the questions in turn; No once they run out
    int pumps = 0;                      // calls of the message pump
    // Called after each status is recorded: a test follows the scan's progress here.
    std::function<void(const std::string&)> onStatus;

    // The first pump after the status `status` was shown reports a confirmed cancel.
    void CancelAfterStatus(const std::string& status) {
        cancelStatus_ = status;
        cancelArmed_ = true;
    }
    // The next pump reports a confirmed cancel.
    void CancelAtNextPump() { cancelDue_ = true; }
    // The texts of the questions asked, in order.
    std::vector<std::string> QuestionTexts() const;

    void AddLine(const char* line) override;
    void ShowStatus(const char* text) override;
    int32_t Ask(const char* text, const char* title, uint32_t style) override;
    void Notify(const char* text, const char* caption) override;
    bool PumpOneMessage() override;

private:
    std::string cancelStatus_;
    bool cancelArmed_ = false;
    bool cancelDue_ = false;
};

// A fresh program run's scan state, reporting to `host`, with infected files deleted (the action
// the window's scan takes).
void StartSession(ScanHost* host);
