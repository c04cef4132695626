// Bounded text helpers: truncation never writes past the buffer and is reported.
#include "core/text.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(BoundedText, CopyReportsTruncationAndStaysTerminated) {
    char buf[6];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_TRUE(CopyText(buf, sizeof buf, "abcde"));
    EXPECT_STREQ(buf, "abcde");
    EXPECT_FALSE(CopyText(buf, sizeof buf, "abcdefgh"));
    EXPECT_STREQ(buf, "abcde");
}

TEST(BoundedText, AppendKeepsOldTextWhenItWouldOverflow) {
    char buf[8] = "abc";
    EXPECT_TRUE(AppendText(buf, sizeof buf, "defg"));
    EXPECT_STREQ(buf, "abcdefg");
    EXPECT_FALSE(AppendText(buf, sizeof buf, "h"));
    EXPECT_STREQ(buf, "abcdefg");
}

TEST(BoundedText, CaseInsensitiveSearchFoldsOnlyAscii) {
    EXPECT_STREQ(FindNoCase("C:\\WINDOWS\\System32\\x.exe", "\\system32\\"), "\\System32\\x.exe");
    EXPECT_EQ(FindNoCase("abc", "abd"), nullptr);
    EXPECT_TRUE(StartsWithNoCase("[RENAME]\r\n", "[rename]"));
    EXPECT_EQ(CompareNoCase("Process", "PROCESS"), 0);
    EXPECT_NE(CompareNoCase("\xC4", "\xE4"), 0);
}
