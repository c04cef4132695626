// Result lines read back as findings: every line the scan writes, and the lines that are none.
#include "console/result_finding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Read {
    bool finding;
    std::string object, detection, outcome;
    bool awaits;
};

Read Of(const char* line) {
    FindingText f = {};
    Read r = {};
    r.finding = ReadFinding(line, &f);
    if (!r.finding) return r;
    r.object.assign(f.object, f.objectLength);
    r.detection.assign(f.detection, f.detectionLength);
    r.outcome = OutcomeWord(f.outcome);
    r.awaits = f.awaitsScheduling;
    return r;
}

void Expect(const char* line, const char* object, const char* detection, const char* outcome, bool awaits = false) {
    const Read r = Of(line);
    ASSERT_TRUE(r.finding) << line;
    EXPECT_EQ(r.object, object) << line;
    EXPECT_EQ(r.detection, detection) << line;
    EXPECT_EQ(r.outcome, outcome) << line;
    EXPECT_EQ(r.awaits, awaits) << line;
}

}  // namespace

TEST(ResultLineFinding, EveryLineTheScanWrites) {
    Expect("C:\\windows\\vxboot.exe     W32/Vorlex.Ih.Worm removed", "C:\\windows\\vxboot.exe", "W32/Vorlex.Ih.Worm",
           "removed");
    Expect("E:\\Data\\held.exe     W32/Vorlex.Ih.Worm Unable to remove", "E:\\Data\\held.exe", "W32/Vorlex.Ih.Worm",
           "failed", true);
    // The checker table's name ends in a blank, so its lines carry two before the outcome.
    Expect("C:\\x\\w.exe     W32/Vorlex.Trojan  removed", "C:\\x\\w.exe", "W32/Vorlex.Trojan", "removed");
    Expect("System Memory    W32/Vorlex.Trojan  removed", "System Memory", "W32/Vorlex.Trojan", "removed");
    Expect("System Registry     W32/Vorlex.Trojan removed", "System Registry", "W32/Vorlex.Trojan", "removed");
    Expect("C:\\a.dll     W32/Vorlex.Bj.Dl.Trojan renamed", "C:\\a.dll", "W32/Vorlex.Bj.Dl.Trojan", "renamed");
    Expect("C:\\a.dll     W32/Vorlex.Bj.Dl.Trojan Rename failed", "C:\\a.dll", "W32/Vorlex.Bj.Dl.Trojan", "failed");
    Expect("C:\\windows\\hosts     W32/Nyxem.Worm Remove failed", "C:\\windows\\hosts", "W32/Nyxem.Worm", "failed");
    Expect("C:\\in use\\a.exe     W32/Vorlex.Ih.Worm not disinfected as per user's selection", "C:\\in use\\a.exe",
           "W32/Vorlex.Ih.Worm", "found");
    Expect("C:\\windows\\hosts     W32/Nyxem.Worm Not Disinfected As Per User's Selection", "C:\\windows\\hosts",
           "W32/Nyxem.Worm", "found");
    Expect("System Memory     W32/Vorlex.Ih.Worm running from C:\\Vx Tray\\vxtray.exe removed", "System Memory",
           "W32/Vorlex.Ih.Worm", "found");
}

TEST(ResultLineFinding, PathsWithBlanksAndOutcomeWordsInThemKeepTheirPlace) {
    Expect("C:\\my removed files\\x removed.exe     W32/Vorlex.Ih.Worm removed", "C:\\my removed files\\x removed.exe",
           "W32/Vorlex.Ih.Worm", "removed");
    Expect("C:\\System Memory\\a.exe     W32/Vorlex.Ih.Worm Unable to remove", "C:\\System Memory\\a.exe",
           "W32/Vorlex.Ih.Worm", "failed", true);
}

TEST(ResultLineFinding, StatisticsAndMalformedLinesAreNoFindings) {
    for (const char* line : {"", " ", "Scanning statistics", "------------------------------",
                             "Total files scanned\t\t:  12", "Total files removed\t\t:  3", "removed", " removed",
                             "W32/Vorlex.Ih.Worm removed", "     W32/Vorlex.Ih.Worm removed", "C:\\a.exe      removed",
                             "System Memory     running from C:\\a.exe", "System Memory", "System Memory     A B running from x",
                             "C:\\a.exe     W32/Vorlex.Ih.Worm Removed"})
        EXPECT_FALSE(Of(line).finding) << '"' << line << '"';
}
