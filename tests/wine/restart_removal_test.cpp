// Removal at restart of a file that is in use: the delayed delete of the NT line, the list of 9x.
#include "clean_fixture.h"

#include "remove/restart_removal.h"

namespace {

// Writes an "infected" file, holds it in another process and checks that it cannot be deleted.
void ScheduleHeldFileAndRestart(const std::string& path, int32_t expected) {
    ASSERT_TRUE(WriteText(path, "worm body"));
    HeldFile held(path);
    ASSERT_TRUE(held.held());
    ASSERT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(ScheduleRemovalAtRestart(path.c_str()), expected);
    EXPECT_TRUE(FileExists(path));
    held.Release();
    ASSERT_TRUE(RestartMachine());
}

}  // namespace

TEST(RestartRemovalOnWinXp, HeldFileIsGoneAfterRestart) {
    const std::string path = "C:\\Program Files\\Infected Tool\\held worm.exe";
    ScheduleHeldFileAndRestart(path, 1);
    EXPECT_FALSE(FileExists(path));
    // The NT line never touches the 9x rename list.
    EXPECT_FALSE(FileExists(WindowsFolder() + "\\wininit.ini"));
}

TEST(RestartRemovalOnNt40, HeldFileIsGoneAfterRestart) {
    const std::string path = "E:\\held\\worm.exe";
    ScheduleHeldFileAndRestart(path, 1);
    EXPECT_FALSE(FileExists(path));
}

TEST(RestartRemovalOnWin7, HeldFileIsGoneAfterRestart) {
    const std::string path = "C:\\windows\\system32\\heldworm.exe";
    ScheduleHeldFileAndRestart(path, 1);
    EXPECT_FALSE(FileExists(path));
}

TEST(RestartRemovalOnWin7, OtherFilesSurviveTheRestart) {
    ASSERT_TRUE(WriteText("C:\\held\\neighbour.exe", "clean"));
    ScheduleHeldFileAndRestart("C:\\held\\worm.exe", 1);
    EXPECT_TRUE(FileExists("C:\\held\\neighbour.exe"));
}

TEST(RestartRemovalOnWin98, HeldFileIsGoneAfterRestart) {
    const std::string path = "C:\\Program Files\\Infected Tool\\held worm.exe";
    ScheduleHeldFileAndRestart(path, 1);
    EXPECT_FALSE(FileExists(path));
}
