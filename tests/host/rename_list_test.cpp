// Tests of the rename-list rewrite: where the entry goes and that every other byte stays.
#include "core/rename_list.h"
#include "support/string_sink.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Accepts `budget` bytes in all, then refuses, as a full disk would.
class ShortSink final : public TextSink {
public:
    explicit ShortSink(size_t budget) : budget_(budget) {}
    bool Write(const char* data, size_t length) override {
        if (length > budget_) return false;
        budget_ -= length;
        text.append(data, length);
        return true;
    }
    std::string text;

private:
    size_t budget_;
};

std::string Rewrite(const std::string& old, const char* source = "C:\\WINDOWS\\VIRUS~1.EXE") {
    StringSink sink;
    EXPECT_TRUE(WriteRenameListWithEntry(old.data(), old.size(), "NUL", source, sink));
    return sink.text;
}

TEST(RenameListRewrite, NewListHoldsHeaderAndEntryOnly) {
    EXPECT_EQ(Rewrite(""), "[rename]\r\nNUL=C:\\WINDOWS\\VIRUS~1.EXE\r\n");
}

TEST(RenameListRewrite, EntryGoesBeforeTheFollowingSection) {
    std::string old = "[Rename]\r\nNUL=C:\\OLD.EXE\r\n[Other]\r\nkey=value\r\n";
    EXPECT_EQ(Rewrite(old, "C:\\A.EXE"),
              "[Rename]\r\nNUL=C:\\OLD.EXE\r\nNUL=C:\\A.EXE\r\n[Other]\r\nkey=value\r\n");
}

TEST(RenameListRewrite, EntryIsAppendedWhenTheSectionIsLast) {
    std::string old = "[misc]\r\nx=1\r\n[rename]\r\nNUL=C:\\OLD.EXE\r\n";
    EXPECT_EQ(Rewrite(old, "C:\\A.EXE"), old + "NUL=C:\\A.EXE\r\n");
}

TEST(RenameListRewrite, HeaderIsAddedWhenNoSectionExists) {
    std::string old = "[misc]\r\nx=1\r\n";
    EXPECT_EQ(Rewrite(old, "C:\\A.EXE"), old + "[rename]\r\nNUL=C:\\A.EXE\r\n");
}

TEST(RenameListRewrite, HeaderIsMatchedOnItsFirstEightCharactersInAnyCase) {
    EXPECT_EQ(Rewrite("[RENAME]\r\n[x]\r\n", "S"), "[RENAME]\r\nNUL=S\r\n[x]\r\n");
    EXPECT_EQ(Rewrite("[ReNaMe] ; note\r\n[x]\r\n", "S"), "[ReNaMe] ; note\r\nNUL=S\r\n[x]\r\n");
    // Not the section: a blank before the bracket, or a longer word.
    EXPECT_EQ(Rewrite(" [rename]\r\n[x]\r\n", "S"), " [rename]\r\n[x]\r\n[rename]\r\nNUL=S\r\n");
    EXPECT_EQ(Rewrite("[renam]\r\n", "S"), "[renam]\r\n[rename]\r\nNUL=S\r\n");
}

TEST(RenameListRewrite, OnlyTheFirstSectionReceivesTheEntry) {
    std::string old = "[rename]\r\na=b\r\n[x]\r\n[rename]\r\nc=d\r\n";
    EXPECT_EQ(Rewrite(old, "S"), "[rename]\r\na=b\r\nNUL=S\r\n[x]\r\n[rename]\r\nc=d\r\n");
}

TEST(RenameListRewrite, OtherBytesAreKeptExactly) {
    // Bare line feeds, a NUL, high bytes and a line far longer than any line buffer survive.
    std::string longLine(5000, 'q');
    std::string old = "; head\n[rename]\nNUL=C:\\X\r\n";
    old += std::string("\x01\xff\0z\r\n", 6);
    old += longLine + "\r\n[next]\r\n";
    std::string got = Rewrite(old, "S");
    size_t at = old.find("[next]");
    EXPECT_EQ(got, old.substr(0, at) + "NUL=S\r\n" + old.substr(at));
}

TEST(RenameListRewrite, LongLineIsNotSplitIntoFalseHeaders) {
    // A '[' deep inside one long line is not the start of a section.
    std::string old = "[rename]\r\n" + std::string(647, 'a') + "[x]\r\n";
    EXPECT_EQ(Rewrite(old, "S"), old + "NUL=S\r\n");
}

TEST(RenameListRewrite, UnterminatedLastLineGetsALineEndBeforeTheEntry) {
    EXPECT_EQ(Rewrite("[rename]\r\nNUL=C:\\OLD.EXE", "S"), "[rename]\r\nNUL=C:\\OLD.EXE\r\nNUL=S\r\n");
    EXPECT_EQ(Rewrite("[misc]\r\nx=1", "S"), "[misc]\r\nx=1\r\n[rename]\r\nNUL=S\r\n");
    EXPECT_EQ(Rewrite("[rename]\r\nx=1\r", "S"), "[rename]\r\nx=1\r\nNUL=S\r\n");
    EXPECT_EQ(Rewrite("[rename]", "S"), "[rename]\r\nNUL=S\r\n");
}

TEST(RenameListRewrite, AShortWriteIsReportedAtEveryPoint) {
    std::string old = "[rename]\r\nNUL=C:\\OLD.EXE\r\n[x]\r\ny=z";
    std::string full = Rewrite(old, "S");
    for (size_t budget = 0; budget < full.size(); ++budget) {
        ShortSink sink(budget);
        EXPECT_FALSE(WriteRenameListWithEntry(old.data(), old.size(), "NUL", "S", sink)) << budget;
        EXPECT_EQ(sink.text, full.substr(0, sink.text.size()));
    }
    ShortSink enough(full.size());
    EXPECT_TRUE(WriteRenameListWithEntry(old.data(), old.size(), "NUL", "S", enough));
}

TEST(ShortPathForm, AcceptsEightDotThreePaths) {
    EXPECT_TRUE(IsShortPathForm("C:\\WINDOWS\\SYSTEM\\VIRUS.EXE"));
    EXPECT_TRUE(IsShortPathForm("C:\\PROG~FBU\\LONG~YMV.EXE"));
    EXPECT_TRUE(IsShortPathForm("c:\\a\\b"));
    EXPECT_TRUE(IsShortPathForm("C:\\12345678.123"));
}

TEST(ShortPathForm, RejectsLongOrUnsafeNames) {
    EXPECT_FALSE(IsShortPathForm(""));
    EXPECT_FALSE(IsShortPathForm("C:\\Program Files\\x.exe"));
    EXPECT_FALSE(IsShortPathForm("C:\\123456789.exe"));
    EXPECT_FALSE(IsShortPathForm("C:\\a.exee"));
    EXPECT_FALSE(IsShortPathForm("C:\\a.b.c"));
    EXPECT_FALSE(IsShortPathForm("C:\\a=b.exe"));
    EXPECT_FALSE(IsShortPathForm("C:\\[x].exe"));
    EXPECT_FALSE(IsShortPathForm("C:\\a\r\n.exe"));
    EXPECT_FALSE(IsShortPathForm("C:\\..\\x.exe"));
    EXPECT_FALSE(IsShortPathForm("C:\\x."));
}

}  // namespace
