// Tests of the autorun rules: which commands start the infected file, and which are left alone.
#include "core/autorun_rules.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kSystemFile = "c:\\windows\\system32\\wormx.exe";
constexpr const char* kOtherFile = "c:\\program files\\tool\\wormx.exe";

AutorunVerdict Judge(const char* data, const char* infected) { return JudgeAutorunValue(data, data, infected); }

TEST(AutorunRuleA, BareNameIsDeletedOnlyForAFileInASystemFolder) {
    EXPECT_EQ(Judge("wormx.exe", kSystemFile), AutorunVerdict::DeleteRuleA);
    EXPECT_EQ(Judge("rundll32 wormx.exe,start", kSystemFile), AutorunVerdict::DeleteRuleA);
    EXPECT_EQ(Judge("wormx.exe", "c:\\windows\\system\\wormx.exe"), AutorunVerdict::DeleteRuleA);
    EXPECT_EQ(Judge("wormx.exe", kOtherFile), AutorunVerdict::Keep);
    // A folder merely called "system32x" is not a system folder.
    EXPECT_EQ(Judge("wormx.exe", "c:\\windows\\system32x\\wormx.exe"), AutorunVerdict::Keep);
}

TEST(AutorunRuleB, CommandRootedAtTheDriveIsTakenOnTheInfectedFilesDrive) {
    // The worm's own value without a drive letter goes; a file of its name in another folder
    // of that drive, or in the same place on another drive, is another program.
    EXPECT_EQ(Judge("\\windows\\system32\\wormx.exe", kSystemFile), AutorunVerdict::DeleteRuleB);
    EXPECT_EQ(Judge("\"\\windows\\system32\\wormx.exe\" -q", kSystemFile), AutorunVerdict::DeleteRuleB);
    EXPECT_EQ(Judge("/windows/system32/wormx.exe", kSystemFile), AutorunVerdict::DeleteRuleB);
    EXPECT_EQ(Judge("\\somewhere\\wormx.exe -q", kSystemFile), AutorunVerdict::Keep);
    EXPECT_EQ(Judge("\\tools\\wormx.exe", kSystemFile), AutorunVerdict::Keep);
    EXPECT_EQ(Judge("\\program files\\tool\\wormx.exe", "d:\\program files\\tool\\wormx.exe"), AutorunVerdict::DeleteRuleB);
}

TEST(AutorunRuleB, ForwardSlashesAreFolderSeparators) {
    EXPECT_EQ(Judge("c:/program files/tool/wormx.exe -x", kOtherFile), AutorunVerdict::DeleteRuleB);
    EXPECT_EQ(Judge("\"c:/program files\\tool/wormx.exe\"", kOtherFile), AutorunVerdict::DeleteRuleB);
    // A path with slashes names a folder, so a worm of that name in a system folder does not
    // make it rule A's.
    EXPECT_EQ(Judge("c:/tools/wormx.exe", kSystemFile), AutorunVerdict::Keep);
    EXPECT_EQ(Judge("tools/wormx.exe", kSystemFile), AutorunVerdict::Keep);
    // A slash that opens an argument is a switch: the command is still a bare name.
    EXPECT_EQ(Judge("wormx.exe /background", kSystemFile), AutorunVerdict::DeleteRuleA);
    EXPECT_EQ(Judge("rundll32 wormx.exe,start /s", kSystemFile), AutorunVerdict::DeleteRuleA);
}

TEST(AutorunRuleA, HoldingOutsideSystemFoldersStopsRuleB) {
    // The data is bare and names the file, so rule A decides, even though rule B would match
    // its expanded form.
    EXPECT_EQ(JudgeAutorunValue("wormx.exe", "c:\\program files\\tool\\wormx.exe", kOtherFile), AutorunVerdict::Keep);
}

TEST(AutorunRuleA, OtherNamesAndFoldersAreKept) {
    EXPECT_EQ(Judge("explorer.exe", kSystemFile), AutorunVerdict::Keep);
    EXPECT_EQ(Judge("c:\\windows\\wormx.exe", kSystemFile), AutorunVerdict::Keep);
    EXPECT_EQ(Judge("c:\\windows\\system32\\other.exe wormx.exe", kSystemFile), AutorunVerdict::Keep);
    EXPECT_EQ(Judge("", kSystemFile), AutorunVerdict::Keep);
}

TEST(AutorunRuleA, OnlyTheWholeFileNameCounts) {
    const char* host = "c:\\windows\\system32\\host.exe";
    for (const char* gone : {"host.exe", "HOST.EXE /s", "rundll32 host.exe,Entry", "rundll32.exe \"host.exe\",Run",
                             "/host.exe", "c:host.exe", "run=host.exe", "a,host.exe;b", "\thost.exe\t", "svchost.exe host.exe"})
        EXPECT_EQ(Judge(gone, host), AutorunVerdict::DeleteRuleA) << gone;
    for (const char* kept : {"svchost.exe -k netsvcs", "host.exe2", "host.exe.bak", "ghost.exe", "myhost.exe,x",
                             "host.exes", "\\\\server\\share\\host.exe", "\\\\server\\host.exe /q", "-host.exe"})
        EXPECT_EQ(Judge(kept, host), AutorunVerdict::Keep) << kept;
}

TEST(AutorunRuleB, CommandStartingWithTheFullPathIsDeleted) {
    EXPECT_EQ(Judge("c:\\program files\\tool\\wormx.exe", kOtherFile), AutorunVerdict::DeleteRuleB);
    EXPECT_EQ(Judge("\"c:\\program files\\tool\\wormx.exe\" -hide", kOtherFile), AutorunVerdict::DeleteRuleB);
    EXPECT_EQ(Judge("C:\\PROGRAM FILES\\Tool\\WormX.EXE /s", kOtherFile), AutorunVerdict::DeleteRuleB);
    EXPECT_EQ(Judge("c:\\windows\\system32\\wormx.exe", kSystemFile), AutorunVerdict::DeleteRuleB);
}

TEST(AutorunRuleB, ExpandedFormCountsToo) {
    EXPECT_EQ(JudgeAutorunValue("%programfiles%\\tool\\wormx.exe", "c:\\program files\\tool\\wormx.exe", kOtherFile),
              AutorunVerdict::DeleteRuleB);
    EXPECT_EQ(JudgeAutorunValue("\"%systemroot%\\system32\\wormx.exe\"", "\"c:\\windows\\system32\\wormx.exe\"",
                                kSystemFile),
              AutorunVerdict::DeleteRuleB);
}

TEST(AutorunRuleB, PathsThatDoNotStartTheFileAreKept) {
    EXPECT_EQ(Judge("c:\\program files\\tool\\wormx.ex", kOtherFile), AutorunVerdict::Keep);
    EXPECT_EQ(Judge("cmd /c c:\\program files\\tool\\wormx.exe", kOtherFile), AutorunVerdict::Keep);
    EXPECT_EQ(Judge("\"\"c:\\program files\\tool\\wormx.exe", kOtherFile), AutorunVerdict::Keep);
    EXPECT_EQ(Judge("d:\\program files\\tool\\wormx.exe", kOtherFile), AutorunVerdict::Keep);
}

TEST(AutorunRuleB, ThePathMustEndWhereTheFileNameEnds) {
    const char* tool = "c:\\apps\\tool.exe";
    for (const char* gone : {"c:\\apps\\tool.exe", "\"c:\\apps\\tool.exe\"", "c:\\apps\\tool.exe -x",
                             "c:\\apps\\tool.exe\t/s", "c:\\apps\\tool.exe,Entry", "c:\\apps\\tool.exe;"})
        EXPECT_EQ(Judge(gone, tool), AutorunVerdict::DeleteRuleB) << gone;
    for (const char* kept : {"c:\\apps\\tool.exe.bak\\helper.exe", "c:\\apps\\tool.exe2", "\"c:\\apps\\tool.exe.old\"",
                             "c:\\apps\\tool.exe\\x.exe", "c:\\apps\\tool.exe_"})
        EXPECT_EQ(Judge(kept, tool), AutorunVerdict::Keep) << kept;
    EXPECT_EQ(JudgeAutorunValue("%apps%\\tool.exe.bak\\helper.exe", "c:\\apps\\tool.exe.bak\\helper.exe", tool),
              AutorunVerdict::Keep);
}

TEST(AutorunPath, PathWithoutAFileNameCannotBeJudged) {
    EXPECT_FALSE(CanJudgeAutorunValues(""));
    EXPECT_FALSE(CanJudgeAutorunValues("wormx.exe"));
    EXPECT_FALSE(CanJudgeAutorunValues("c:\\windows\\"));
    EXPECT_TRUE(CanJudgeAutorunValues(kSystemFile));
    // With no file name nothing is judged a match, not even every bare command.
    EXPECT_EQ(Judge("anything", "c:\\windows\\system32\\"), AutorunVerdict::Keep);
}

}  // namespace
