// Whole scans of the test machine: which drives are walked, the statistics, cancel and restart question.
#include "spine_fixture.h"

#include "scan/scan_driver.h"

#include <algorithm>

namespace {

class WholeScan : public EngineTest {
protected:
    ScanOutcome Scan() { return ScanDriver(ScanOptions{kActionDelete}, host); }
};

// The first status of the drive phase: the first entry the walk of C: shows.
std::string FirstDriveStatus() {
    std::vector<WIN32_FIND_DATAA> root = ListEntries("C:\\*.*");
    return root.empty() ? std::string() : std::string("C:\\") + root[0].cFileName;
}

// The statuses of the drive phase: the memory phase before it shows the running programs.
std::vector<std::string> DriveStatuses(const std::vector<std::string>& statuses) {
    auto first = std::find(statuses.begin(), statuses.end(), FirstDriveStatus());
    return std::vector<std::string>(first, statuses.end());
}

std::vector<std::string> StatisticsBlock(int scanned, int infected, int removed) {
    std::vector<std::string> block;
    if (infected > 0) block.push_back(" ");
    block.push_back("Scanning statistics");
    block.push_back("------------------------------");
    block.push_back("Total files scanned\t\t:  " + std::to_string(scanned));
    block.push_back("Total files infected\t\t:  " + std::to_string(infected));
    block.push_back("Total files removed\t\t:  " + std::to_string(removed));
    return block;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// Index of the first and one past the last status that starts with prefix (npos when none).
size_t FirstWith(const std::vector<std::string>& statuses, const char* prefix) {
    for (size_t i = 0; i < statuses.size(); ++i)
        if (StartsWith(statuses[i], prefix)) return i;
    return std::string::npos;
}
size_t LastWith(const std::vector<std::string>& statuses, const char* prefix) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < statuses.size(); ++i)
        if (StartsWith(statuses[i], prefix)) last = i;
    return last;
}

}  // namespace

TEST_F(WholeScan, WalksTheFixedDrivesOnlyAndEndsWithTheStatistics) {
    ASSERT_TRUE(WriteText("D:\\on_cdrom.txt", "d"));
    ASSERT_TRUE(WriteText("F:\\on_floppy.txt", "f"));
    ASSERT_TRUE(WriteText("E:\\e.txt", "e"));
    ASSERT_TRUE(WriteSample("C:\\scanme\\worm.exe", 69));
    ASSERT_TRUE(SetFileAttributesA("C:\\scanme\\worm.exe", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteSample("E:\\nested\\deeper\\worm.dll", 32));
    std::vector<uint8_t> clean = ReadBytes("E:\\e.txt");
    const int files = CountFiles("C:") + CountFiles("E:");
    ASSERT_GT(files, 100);

    const ScanOutcome outcome = Scan();
    EXPECT_EQ(outcome.end, ScanEnd::kCompleted);
    EXPECT_FALSE(outcome.restartPending);
    EXPECT_TRUE(host.questions.empty());

    std::vector<std::string> expected = {RemovedLine("C:\\scanme\\worm.exe", "W32/Vorlex.Ih.Worm"),
                                         RemovedLine("E:\\nested\\deeper\\worm.dll", "W32/Vorlex.Bj.Dl.Trojan")};
    std::vector<std::string> block = StatisticsBlock(files, 2, 2);
    expected.insert(expected.end(), block.begin(), block.end());
    EXPECT_EQ(host.lines, expected);
    EXPECT_TRUE(Session.ScanFinished);
    EXPECT_FALSE(FileExists("C:\\scanme\\worm.exe"));
    EXPECT_EQ(ReadBytes("E:\\e.txt"), clean);

    // The memory phase shows the programs it examines, wherever they lie; the drives come after.
    const std::vector<std::string> s = DriveStatuses(host.statuses);
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s.back(), "Scanning completed");
    for (const char* skipped : {"D:", "F:", "T:", "A:", "B:"}) EXPECT_EQ(FirstWith(s, skipped), std::string::npos) << skipped;
    size_t lastC = LastWith(s, "C:\\"), firstE = FirstWith(s, "E:\\");
    ASSERT_NE(lastC, std::string::npos);
    ASSERT_NE(firstE, std::string::npos);
    EXPECT_LT(lastC, firstE);  // C: first, then E:
    EXPECT_NE(std::find(s.begin(), s.end(), "E:\\e.txt"), s.end());
}

TEST_F(WholeScan, ProgramFilesStoredInCapitalsIsWalkedOnceMoreAndCountedTwice) {
    ASSERT_TRUE(MoveFileA("C:\\Program Files", "C:\\pf-renaming"));
    ASSERT_TRUE(MoveFileA("C:\\pf-renaming", "C:\\PROGRAM FILES"));
    ASSERT_TRUE(WriteText("E:\\e.txt", "e"));
    const int inProgramFiles = CountFiles("C:\\PROGRAM FILES");
    ASSERT_GT(inProgramFiles, 0);
    const int files = CountFiles("C:") + CountFiles("E:");

    Scan();
    EXPECT_EQ(Session.ScanCounters.filesScanned, files + inProgramFiles);
    EXPECT_EQ(host.lines, StatisticsBlock(files + inProgramFiles, 0, 0));
    EXPECT_EQ(Session.ProgramFilesPending, 0);
    EXPECT_EQ(Session.ProgramFilesSeen, 1);  // the extra walk itself descends into its subfolders

    // The extra walk shows the folder under the name it was looked for, after the whole of C:.
    const std::vector<std::string> s = DriveStatuses(host.statuses);
    size_t extra = FirstWith(s, "C:\\Program Files\\");
    size_t firstE = FirstWith(s, "E:\\");
    ASSERT_NE(extra, std::string::npos);
    ASSERT_NE(firstE, std::string::npos);
    EXPECT_LT(LastWith(s, "C:\\PROGRAM FILES\\"), extra);
    EXPECT_LT(extra, firstE);
    for (size_t i = extra; i < firstE; ++i) EXPECT_TRUE(StartsWith(s[i], "C:\\Program Files\\")) << s[i];
    EXPECT_EQ(LastWith(s, "C:\\"), firstE - 1);
}

TEST_F(WholeScan, CancelDuringTheDrivesStillWritesTheStatistics) {
    ASSERT_TRUE(WriteSample("E:\\worm.exe", 0));
    host.CancelAfterStatus(FirstDriveStatus());
    EXPECT_EQ(Scan().end, ScanEnd::kTerminated);
    EXPECT_TRUE(Session.ScanCancelled);
    const std::vector<std::string> s = DriveStatuses(host.statuses);
    ASSERT_EQ(s.size(), 2u);  // the first entry of C:, then the final status
    EXPECT_EQ(s[1], "Scanning terminated");
    EXPECT_EQ(host.lines, StatisticsBlock(Session.ScanCounters.filesScanned, 0, 0));
    EXPECT_LE(Session.ScanCounters.filesScanned, 1);
    EXPECT_TRUE(FileExists("E:\\worm.exe"));
}

TEST_F(WholeScan, AHeldMatchLeavesARemovalPendingForTheCallerToOfferTheRestart) {
    const std::string path = "E:\\held\\worm.exe";
    ASSERT_TRUE(WriteSample(path, 18));
    HeldFile held(path);
    ASSERT_TRUE(held.held());
    const ScanOutcome outcome = Scan();
    EXPECT_EQ(outcome.end, ScanEnd::kCompleted);
    EXPECT_TRUE(outcome.restartPending);
    // The engine asks nothing: the restart is its caller's to offer.
    EXPECT_TRUE(host.questions.empty());
    EXPECT_NE(Session.RestartNeeded, 0);
    EXPECT_TRUE(FileExists(path));
    ASSERT_GE(host.lines.size(), 7u);
    EXPECT_EQ(host.lines[0], path + "     W32/Vorlex.Ih.Worm Unable to remove");
    EXPECT_EQ(host.lines[1], " ");
    EXPECT_EQ(host.statuses.back(), "Scanning completed");
}
