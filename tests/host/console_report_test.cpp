// The console program's reports: JSON strings in UTF-8, the JSON document, the log, the exit code.
#include <gtest/gtest.h>

#include <string>

#include "console/bounded_text.h"
#include "console/exit_code.h"
#include "console/json_text.h"
#include "console/run_report.h"

namespace {

std::string Json(const char* ansi) {
    char buffer[4096];
    BoundedText out(buffer, sizeof buffer);
    AppendJsonText(out, ansi, DecodeCodePage1252);
    EXPECT_TRUE(out.whole());
    return out.text();
}

std::string Utf16Json(std::u16string units) {
    char buffer[256];
    BoundedText out(buffer, sizeof buffer);
    AppendJsonString(out, units.data(), units.size());
    return out.text();
}

const RunStart kStart = {"WORKSTATION-7", {2026, 12, 1, 9, 5, 3}, false};

}  // namespace

TEST(ConsoleJsonText, EscapesAndUtf8FromCodePage1252) {
    EXPECT_EQ(Json("C:\\a \"b\"\\c"), "\"C:\\\\a \\\"b\\\"\\\\c\"");
    EXPECT_EQ(Json("tab\there\r\n\x01\x1f"), "\"tab\\there\\r\\n\\u0001\\u001f\"");
    // é, the euro sign from the range where 1252 differs from Latin-1, and an unassigned byte.
    EXPECT_EQ(Json("caf\xe9 \x80 \x81"), "\"caf\xc3\xa9 \xe2\x82\xac \xc2\x81\"");
    EXPECT_EQ(Json(""), "\"\"");
}

TEST(ConsoleJsonText, SurrogatePairsJoinAndLoneSurrogatesBecomeTheReplacement) {
    EXPECT_EQ(Utf16Json(u"\U0001F600"), "\"\xf0\x9f\x98\x80\"");
    EXPECT_EQ(Utf16Json(std::u16string(1, char16_t(0xD800)) + u"x"), "\"\xef\xbf\xbdx\"");
    EXPECT_EQ(Utf16Json(std::u16string(1, char16_t(0xDC00))), "\"\xef\xbf\xbd\"");
    EXPECT_EQ(Utf16Json(u"\u0416"), "\"\xd0\x96\"");
}

TEST(ConsoleJsonText, WhatDoesNotFitIsLeftOutWholeAndMarked) {
    char buffer[8];
    BoundedText out(buffer, sizeof buffer);
    AppendJsonText(out, "abc", DecodeCodePage1252);  // "abc" with quotes: 5 bytes and the NUL
    EXPECT_TRUE(out.whole());
    AppendJsonText(out, "\xe9", DecodeCodePage1252);  // two more bytes in UTF-8 would fit, the quotes not
    EXPECT_FALSE(out.whole());
    EXPECT_EQ(std::string(out.text()).substr(0, 5), "\"abc\"");
    EXPECT_LT(std::string(out.text()).size(), sizeof buffer);
    // A text the decoder refuses leaves nothing half written.
    char other[64];
    BoundedText refused(other, sizeof other);
    AppendJsonText(refused, "x", 1, [](const char*, size_t, char16_t*, size_t) -> size_t { return 0; });
    EXPECT_FALSE(refused.whole());
    EXPECT_STREQ(refused.text(), "");
}

TEST(ConsoleReport, JsonDocumentFromItsThreeParts) {
    char buffer[4096];
    BoundedText out(buffer, sizeof buffer);
    AppendJsonHead(out, kStart, DecodeCodePage1252);
    const char* line = "C:\\x\\w.exe     W32/Vorlex.Trojan  Unable to remove";
    FindingText finding = {line, 10, line + 15, 17, FindingOutcome::kScheduled, true};
    AppendJsonFinding(out, finding, line, true, DecodeCodePage1252);
    const char* registry = "System Registry     W32/Vorlex.Trojan removed";
    AppendJsonFinding(out, FindingText{registry, 15, registry + 20, 17, FindingOutcome::kRemoved, false}, registry, false,
                      DecodeCodePage1252);
    AppendJsonTail(out, RunEnd{{2026, 12, 1, 10, 0, 59}, false, 3010, true, {120, 2, 1}});
    ASSERT_TRUE(out.whole());
    EXPECT_EQ(std::string(out.text()),
              "{\n"
              "  \"tool\": \"PurgixCmd\",\n"
              "  \"version\": \"1.0\",\n"
              "  \"computer\": \"WORKSTATION-7\",\n"
              "  \"started\": \"2026-12-01T09:05:03Z\",\n"
              "  \"mode\": \"clean\",\n"
              "  \"findings\": [\n"
              "    {\"object\": \"C:\\\\x\\\\w.exe\", \"detection\": \"W32/Vorlex.Trojan\", \"outcome\": \"scheduled\", "
              "\"line\": \"C:\\\\x\\\\w.exe     W32/Vorlex.Trojan  Unable to remove\"},\n"
              "    {\"object\": \"System Registry\", \"detection\": \"W32/Vorlex.Trojan\", \"outcome\": \"removed\", "
              "\"line\": \"System Registry     W32/Vorlex.Trojan removed\"}\n"
              "  ],\n"
              "  \"ended\": \"2026-12-01T10:00:59Z\",\n"
              "  \"complete\": false,\n"
              "  \"exitCode\": 3010,\n"
              "  \"restartPending\": true,\n"
              "  \"counts\": {\"scanned\": 120, \"infected\": 2, \"removed\": 1}\n"
              "}\n");
}

TEST(ConsoleReport, LogRecordAndDetectMode) {
    char buffer[1024];
    BoundedText out(buffer, sizeof buffer);
    RunStart start = kStart;
    start.detectOnly = true;
    AppendLogHead(out, start);
    AppendLogTail(out, RunEnd{{2026, 12, 1, 9, 6, 0}, true, 1, false, {5, 1, 0}});
    EXPECT_EQ(std::string(out.text()),
              "==== PurgixCmd 1.0 ====\r\nComputer:  WORKSTATION-7\r\nStarted:   2026-12-01T09:05:03Z\r\n"
              "Version:   1.0\r\nMode:      detect\r\n"
              "Ended:     2026-12-01T09:06:00Z\r\nComplete:  yes\r\nRestart:   not needed\r\nExit code: 1\r\n\r\n");
    char json[512];
    BoundedText head(json, sizeof json);
    AppendJsonHead(head, start, DecodeCodePage1252);
    EXPECT_NE(std::string(head.text()).find("\"mode\": \"detect\""), std::string::npos);
}

TEST(ConsoleExitCode, OneMeaningEachInTheOrderTwoThreeOneRestartStartedPendingNothing) {
    RunVerdict v = {};
    EXPECT_EQ(ChooseExitCode(v), 0);
    v.findings = 3;  // all removed
    EXPECT_EQ(ChooseExitCode(v), 0);
    v.restartPending = true;
    EXPECT_EQ(ChooseExitCode(v), 3010);
    v.restartStarted = true;
    EXPECT_EQ(ChooseExitCode(v), 1641);
    v.remaining = 1;
    EXPECT_EQ(ChooseExitCode(v), 1);
    v.cancelled = true;
    EXPECT_EQ(ChooseExitCode(v), 3);
    v.cannotRun = true;
    EXPECT_EQ(ChooseExitCode(v), 2);
    // Detect mode: anything found remains; nothing is ever removed there.
    RunVerdict detect = {};
    detect.detectOnly = true;
    EXPECT_EQ(ChooseExitCode(detect), 0);
    detect.findings = 1;
    EXPECT_EQ(ChooseExitCode(detect), 1);
    // A restart started without a pending removal means nothing.
    RunVerdict odd = {};
    odd.restartStarted = true;
    EXPECT_EQ(ChooseExitCode(odd), 0);
}
