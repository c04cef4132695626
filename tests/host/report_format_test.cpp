// The statistics block: its lines, their order, and the blank line that only follows a finding.
#include "core/report_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Block(const ScanCounterSet& counters) {
    std::vector<std::string> lines;
    char line[kReportLineSize];
    for (int i = 0; FormatStatisticsLine(i, counters, line, sizeof line); ++i) lines.push_back(line);
    EXPECT_EQ(static_cast<int>(lines.size()), StatisticsLineCount(counters));
    return lines;
}

}  // namespace

TEST(StatisticsBlock, CleanScanHasNoBlankLineAndStillCountsRemovals) {
    std::vector<std::string> expected = {
        "Scanning statistics", "------------------------------", "Total files scanned\t\t:  1234",
        "Total files infected\t\t:  0", "Total files removed\t\t:  0"};
    EXPECT_EQ(Block({1234, 0, 0}), expected);
}

TEST(StatisticsBlock, FindingsPutOneBlankBeforeTheBlock) {
    std::vector<std::string> expected = {
        " ", "Scanning statistics", "------------------------------", "Total files scanned\t\t:  7",
        "Total files infected\t\t:  3", "Total files removed\t\t:  2"};
    EXPECT_EQ(Block({7, 3, 2}), expected);
}

TEST(StatisticsBlock, SignedCountsAndOutOfRangeIndexes) {
    std::vector<std::string> lines = Block({-5, 0, 2147483647});
    EXPECT_EQ(lines[2], "Total files scanned\t\t:  -5");
    EXPECT_EQ(lines[4], "Total files removed\t\t:  2147483647");
    char line[16] = "untouched";
    EXPECT_FALSE(FormatStatisticsLine(-1, {0, 0, 0}, line, sizeof line));
    EXPECT_FALSE(FormatStatisticsLine(5, {0, 0, 0}, line, sizeof line));
    EXPECT_STREQ(line, "untouched");
}
