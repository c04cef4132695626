// The 9x rename list on disk: where the entry lands, what stays, and that restart deletes the file.
#include "clean_fixture.h"

#include <io.h>

#include "remove/rename_list_file.h"
#include "remove/restart_removal.h"

namespace {

class RenameListOnWin98 : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        list = WindowsFolder() + "\\wininit.ini";
        workingCopy = TempFolder() + "wininit.ini";
        ASSERT_TRUE(WriteText(infected, "worm body"));
        shortPath = ShortPathOf(infected);
        ASSERT_FALSE(shortPath.empty());
        ASSERT_NE(shortPath, infected);
    }
    std::string Entry() const { return "NUL=" + shortPath + "\r\n"; }
    const std::string infected = "C:\\Infected Files\\A Long Worm Name.exe";
    std::string list;
    std::string workingCopy;
    std::string shortPath;
};

class RenameListWritesOnWin98 : public ::testing::Test {};

size_t WriteBudget = 0;
// Transfers at most WriteBudget bytes in all, as a disk that fills up would.
int LimitedWrite(int fd, const void* data, unsigned count) {
    unsigned n = count < WriteBudget ? count : static_cast<unsigned>(WriteBudget);
    WriteBudget -= n;
    return _write(fd, data, n);
}

}  // namespace

TEST_F(RenameListOnWin98, NewListHoldsHeaderAndShortEntryAndRestartDeletes) {
    ASSERT_FALSE(FileExists(list));
    EXPECT_EQ(ScheduleRemovalAtRestart(infected.c_str()), 1);
    EXPECT_EQ(ReadText(list), "[rename]\r\n" + Entry());
    EXPECT_FALSE(FileExists(WindowsFolder() + "\\wininit.new"));

    ASSERT_TRUE(RestartMachine());
    EXPECT_FALSE(FileExists(infected));
}

TEST_F(RenameListOnWin98, EntryGoesBeforeTheFollowingSection) {
    const std::string before = "; kept as written\n[Rename]\r\nNUL=C:\\GONE.TXT\r\n[Other]\r\nkey = value\r\n\r\n";
    ASSERT_TRUE(WriteText(list, before));
    EXPECT_EQ(ScheduleRemovalAtRestart(infected.c_str()), 1);
    size_t other = before.find("[Other]");
    EXPECT_EQ(ReadText(list), before.substr(0, other) + Entry() + before.substr(other));
    // The old list stays behind in the temporary folder.
    EXPECT_EQ(ReadText(workingCopy), before);

    ASSERT_TRUE(RestartMachine());
    EXPECT_FALSE(FileExists(infected));
}

TEST_F(RenameListOnWin98, EntryIsAppendedWhenTheSectionIsLast) {
    const std::string before = "[misc]\r\nx=1\r\n[rename]\r\nNUL=C:\\GONE.TXT\r\n";
    ASSERT_TRUE(WriteText(list, before));
    EXPECT_EQ(ScheduleRemovalAtRestart(infected.c_str()), 1);
    EXPECT_EQ(ReadText(list), before + Entry());
}

TEST_F(RenameListOnWin98, ListWithoutTheSectionGetsHeaderAndEntry) {
    const std::string before = "[misc]\r\nx=1\r\n";
    ASSERT_TRUE(WriteText(list, before));
    EXPECT_EQ(ScheduleRemovalAtRestart(infected.c_str()), 1);
    EXPECT_EQ(ReadText(list), before + "[rename]\r\n" + Entry());

    ASSERT_TRUE(RestartMachine());
    EXPECT_FALSE(FileExists(infected));
}

TEST_F(RenameListOnWin98, CapitalisedHeaderIsTheSection) {
    const std::string before = "[RENAME]\r\nNUL=C:\\GONE.TXT\r\n[Next]\r\n";
    ASSERT_TRUE(WriteText(list, before));
    EXPECT_EQ(ScheduleRemovalAtRestart(infected.c_str()), 1);
    EXPECT_EQ(ReadText(list), "[RENAME]\r\nNUL=C:\\GONE.TXT\r\n" + Entry() + "[Next]\r\n");
}

TEST_F(RenameListOnWin98, UnterminatedLastLineIsEndedBeforeTheEntry) {
    ASSERT_TRUE(WriteText("C:\\old.txt", "old"));
    const std::string before = "[rename]\r\nNUL=" + ShortPathOf("C:\\old.txt");
    ASSERT_TRUE(WriteText(list, before));
    EXPECT_EQ(ScheduleRemovalAtRestart(infected.c_str()), 1);
    EXPECT_EQ(ReadText(list), before + "\r\n" + Entry());

    // Both entries are whole lines, so restart deletes both files.
    ASSERT_TRUE(RestartMachine());
    EXPECT_FALSE(FileExists(infected));
    EXPECT_FALSE(FileExists("C:\\old.txt"));
}

TEST_F(RenameListOnWin98, PathWithoutShortFormIsNotScheduled) {
    const std::string before = "[rename]\r\nNUL=C:\\GONE.TXT\r\n";
    ASSERT_TRUE(WriteText(list, before));
    // A path that no longer exists has no short form to be had.
    EXPECT_EQ(ScheduleRemovalAtRestart("C:\\Infected Files\\Vanished Long Name.exe"), 0);
    EXPECT_EQ(ReadText(list), before);
}

TEST_F(RenameListOnWin98, MissingShortFormCreatesNoList) {
    EXPECT_EQ(ScheduleRemovalAtRestart("C:\\Infected Files\\Vanished Long Name.exe"), 0);
    EXPECT_FALSE(FileExists(list));
}

TEST_F(RenameListOnWin98, StaleWorkingCopyNeverReplacesTheList) {
    // A copy left by an earlier run that cannot be overwritten now (another program reads it
    // and shares no writing) must not stand in for the list.
    ASSERT_TRUE(WriteText(workingCopy, "[rename]\r\nNUL=C:\\STALE.TXT\r\n"));
    HANDLE reader = CreateFileA(workingCopy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    const std::string before = "[rename]\r\nNUL=C:\\CURRENT.TXT\r\n";
    ASSERT_TRUE(WriteText(list, before));
    int32_t scheduled = ScheduleRemovalAtRestart(infected.c_str());
    CloseHandle(reader);
    std::string after = ReadText(list);
    EXPECT_EQ(after.find("STALE"), std::string::npos);
    EXPECT_EQ(after, scheduled ? before + Entry() : before);
}

TEST_F(RenameListWritesOnWin98, ShortWriteLeavesTheOldListAsItWas) {
    const std::string folder = "C:\\lists";
    ASSERT_TRUE(MakeFolders(folder));
    const std::string listPath = folder + "\\wininit.ini", copyPath = folder + "\\copy.ini", newPath = folder + "\\wininit.new";
    const std::string before = "[rename]\r\nNUL=C:\\A.TXT\r\n[x]\r\ny=z\r\n";
    const std::string after = "[rename]\r\nNUL=C:\\A.TXT\r\nNUL=C:\\B.EXE\r\n[x]\r\ny=z\r\n";
    RenameListFiles files = {listPath.c_str(), copyPath.c_str(), newPath.c_str()};
    for (size_t budget : {size_t{0}, size_t{1}, size_t{10}, size_t{26}, after.size() - 1}) {
        ASSERT_TRUE(WriteText(listPath, before));
        WriteBudget = budget;
        EXPECT_FALSE(AddRenameListEntryAt(files, "NUL", "C:\\B.EXE", LimitedWrite)) << budget;
        EXPECT_EQ(ReadText(listPath), before) << budget;
        EXPECT_FALSE(FileExists(newPath)) << budget;
    }
    WriteBudget = after.size();
    EXPECT_TRUE(AddRenameListEntryAt(files, "NUL", "C:\\B.EXE", LimitedWrite));
    EXPECT_EQ(ReadText(listPath), after);
    EXPECT_FALSE(FileExists(newPath));
}

TEST_F(RenameListWritesOnWin98, ShortWriteCreatesNoNewList) {
    const std::string folder = "C:\\lists";
    ASSERT_TRUE(MakeFolders(folder));
    const std::string listPath = folder + "\\wininit.ini", copyPath = folder + "\\copy.ini", newPath = folder + "\\wininit.new";
    RenameListFiles files = {listPath.c_str(), copyPath.c_str(), newPath.c_str()};
    WriteBudget = 12;
    EXPECT_FALSE(AddRenameListEntryAt(files, "NUL", "C:\\B.EXE", LimitedWrite));
    EXPECT_FALSE(FileExists(listPath));
    EXPECT_FALSE(FileExists(newPath));
    WriteBudget = 1000;
    EXPECT_TRUE(AddRenameListEntryAt(files, "NUL", "C:\\B.EXE", LimitedWrite));
    EXPECT_EQ(ReadText(listPath), "[rename]\r\nNUL=C:\\B.EXE\r\n");
}
