// The directory walker on real folders: order of the statuses, counting, pumping, cancel, depth.
#include "spine_fixture.h"

#include <algorithm>

#include "core/path_text.h"

namespace {

class FolderWalk : public EngineTest {};
class FolderWalkOnWin98 : public EngineTest {};

// The statuses a walk of folder must show: each listed entry of a folder in listing order, then
// each subfolder's walk in listing order (the display form of each path).
void ExpectedStatuses(const std::string& folder, std::vector<std::string>* out) {
    std::vector<WIN32_FIND_DATAA> entries = ListEntries(folder + "\\*.*");
    for (const WIN32_FIND_DATAA& e : entries) {
        char shown[260];
        ShortenPath((folder + "\\" + e.cFileName).c_str(), shown, sizeof shown, 60);
        out->push_back(shown);
    }
    for (const WIN32_FIND_DATAA& e : entries)
        if (IsDirectory(e) && !IsDots(e)) ExpectedStatuses(folder + "\\" + e.cFileName, out);
}

int CountListed(const std::string& folder) {
    int count = 0;
    for (const WIN32_FIND_DATAA& e : ListEntries(folder + "\\*.*")) {
        ++count;
        if (IsDirectory(e) && !IsDots(e)) count += CountListed(folder + "\\" + e.cFileName);
    }
    return count;
}

void MakeSmallTree() {
    ASSERT_TRUE(WriteText("E:\\walk\\a.txt", "a"));
    ASSERT_TRUE(WriteText("E:\\walk\\b.exe", "b"));
    ASSERT_TRUE(WriteText("E:\\walk\\Tools\\c.txt", "c"));
    ASSERT_TRUE(WriteText("E:\\walk\\Tools\\Deeper\\d.txt", "d"));
    ASSERT_TRUE(WriteText("E:\\walk\\Tools\\Deeper\\a rather long file name that needs shortening.txt", "e"));
    ASSERT_TRUE(MakeFolders("E:\\walk\\Empty"));
    ASSERT_TRUE(WriteText("E:\\walk\\z.txt", "z"));
}


}  // namespace

TEST_F(FolderWalk, ShowsEveryEntryFilesFirstThenSubfoldersDepthFirst) {
    MakeSmallTree();
    std::vector<std::string> expected;
    ExpectedStatuses("E:\\walk", &expected);
    ASSERT_GE(expected.size(), 9u);

    EXPECT_EQ(DirectoryWalker("E:\\walk\\*.*"), 6);
    EXPECT_EQ(host.statuses, expected);
    EXPECT_EQ(Session.ScanCounters.filesScanned, 6);
    EXPECT_TRUE(host.lines.empty());
    // The long path is shown as its first 29 characters, two dots and its last 29.
    EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(),
                        "E:\\walk\\Tools\\Deeper\\a rather..ame that needs shortening.txt"),
              host.statuses.end());
}

TEST_F(FolderWalk, PumpsThreeMessagesPerListedEntry) {
    MakeSmallTree();
    const int listed = CountListed("E:\\walk");
    DirectoryWalker("E:\\walk\\*.*");
    EXPECT_EQ(host.pumps, 3 * listed);
}

TEST_F(FolderWalk, MatchingFilesInNestedFoldersAreRemovedDuringTheWalk) {
    MakeSmallTree();
    ASSERT_TRUE(WriteSample("E:\\walk\\Tools\\Deeper\\worm.exe", 18));
    ASSERT_TRUE(WriteSample("E:\\walk\\w2.scr", 32));
    ASSERT_TRUE(SetFileAttributesA("E:\\walk\\w2.scr", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    std::vector<uint8_t> clean = ReadBytes("E:\\walk\\a.txt");

    EXPECT_EQ(DirectoryWalker("E:\\walk\\*.*"), 8);
    EXPECT_FALSE(FileExists("E:\\walk\\Tools\\Deeper\\worm.exe"));
    EXPECT_FALSE(FileExists("E:\\walk\\w2.scr"));
    EXPECT_EQ(ReadBytes("E:\\walk\\a.txt"), clean);
    std::vector<std::string> lines = host.lines;
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> expected = {RemovedLine("E:\\walk\\Tools\\Deeper\\worm.exe", "W32/Vorlex.Ih.Worm"),
                                         RemovedLine("E:\\walk\\w2.scr", "W32/Vorlex.Bj.Dl.Trojan")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(Session.ScanCounters.filesInfected, 2);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 2);
}

TEST_F(FolderWalk, CancelInTheFilePassReturnsZeroAndLaterWalksStopAtOnce) {
    MakeSmallTree();
    std::vector<std::string> all;
    ExpectedStatuses("E:\\walk", &all);
    host.CancelAfterStatus(all[1]);
    EXPECT_EQ(DirectoryWalker("E:\\walk\\*.*"), 0);
    EXPECT_TRUE(Session.ScanCancelled);
    EXPECT_EQ(host.statuses, std::vector<std::string>(all.begin(), all.begin() + 2));
    // A walk started after the cancel returns at its first entry without a status.
    EXPECT_EQ(DirectoryWalker("E:\\walk\\Tools\\*.*"), 0);
    EXPECT_EQ(host.statuses.size(), 2u);
}

TEST_F(FolderWalk, CancelDeepInsideUnwindsEveryLevel) {
    MakeSmallTree();
    ASSERT_TRUE(WriteSample("E:\\walk\\zz_after\\worm.exe", 0));
    std::vector<std::string> all;
    ExpectedStatuses("E:\\walk", &all);
    auto at = std::find(all.begin(), all.end(), "E:\\walk\\Tools\\Deeper\\d.txt");
    ASSERT_NE(at, all.end());
    host.CancelAfterStatus(*at);
    int32_t result = DirectoryWalker("E:\\walk\\*.*");
    EXPECT_TRUE(result == 0 || result == Session.ScanCounters.filesScanned) << result;
    EXPECT_EQ(host.statuses, std::vector<std::string>(all.begin(), at + 1));
    EXPECT_TRUE(FileExists("E:\\walk\\zz_after\\worm.exe"));
}

// E:\deep\<120>\<120>\ is 250 characters: the ANSI functions can list it, not much deeper. Files
// and folders at its edge: { path, bytes, infected }.
struct DeepTree {
    std::string folder = "E:\\deep\\" + std::string(120, 'a') + "\\" + std::string(120, 'b');
    std::wstring wideFolder = L"\\\\?\\" + Wide(folder);
    std::vector<uint8_t> sample = BuildMatchingSample(SignatureTable[69]);

    bool Build() {
        return folder.size() == 249 && CreateDirectoryW(Wide("E:\\deep").c_str(), nullptr) &&
               CreateDirectoryW((L"\\\\?\\" + Wide("E:\\deep\\" + std::string(120, 'a'))).c_str(), nullptr) &&
               CreateDirectoryW(wideFolder.c_str(), nullptr) &&
               WriteWide(wideFolder + L"\\x.txt", {'x'}) &&                                 // 255 characters
               WriteWide(wideFolder + L"\\m.exe", sample) &&                                // 255
               WriteWide(wideFolder + L"\\a_much_longer_name.exe", sample) &&               // 272
               CreateDirectoryW((wideFolder + L"\\sub").c_str(), nullptr) &&                 // its pattern: 257
               WriteWide(wideFolder + L"\\sub\\yy_far.txt", {'y'}) &&                      // 264
               CreateDirectoryW((wideFolder + L"\\subfolder").c_str(), nullptr) &&           // its pattern: 263
               WriteWide(wideFolder + L"\\subfolder\\z.txt", {'z'});
    }
};

TEST_F(FolderWalkOnWin98, EntriesBeyond259CharactersAreSkippedWithoutHarm) {
    DeepTree tree;
    ASSERT_TRUE(tree.Build());
    int32_t result = DirectoryWalker("E:\\deep\\*.*");
    EXPECT_EQ(result, Session.ScanCounters.filesScanned);
    EXPECT_EQ(Session.ScanCounters.filesScanned, 2);  // x.txt and m.exe
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 1);
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0], RemovedLine(tree.folder + "\\m.exe", "W32/Vorlex.Ih.Worm"));
    EXPECT_EQ(ReadWide(tree.wideFolder + L"\\a_much_longer_name.exe"), tree.sample);
    for (const std::string& s : host.statuses) {
        EXPECT_LE(s.size(), 60u);
        EXPECT_EQ(s.find("a_much_longer"), std::string::npos) << s;
        EXPECT_EQ(s.find("yy_far"), std::string::npos) << s;
        EXPECT_EQ(s.find("z.txt"), std::string::npos) << s;
    }
}

TEST_F(FolderWalk, EntriesBeyond259CharactersAreReachedOnTheNtLine) {
    DeepTree tree;
    ASSERT_TRUE(tree.Build());
    // Shown, and reported, by the short form the ANSI functions can take.
    const std::string beyond = ShortForm(tree.wideFolder + L"\\a_much_longer_name.exe");
    ASSERT_FALSE(beyond.empty());
    ASSERT_LE(beyond.size(), 259u);
    int32_t result = DirectoryWalker("E:\\deep\\*.*");
    EXPECT_EQ(result, Session.ScanCounters.filesScanned);
    EXPECT_EQ(Session.ScanCounters.filesScanned, 5);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 2);
    std::vector<std::string> lines = host.lines;
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> expected = {RemovedLine(tree.folder + "\\m.exe", "W32/Vorlex.Ih.Worm"),
                                         RemovedLine(beyond, "W32/Vorlex.Ih.Worm")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    EXPECT_FALSE(FileExists(tree.folder + "\\m.exe"));
    EXPECT_EQ(GetFileAttributesW((tree.wideFolder + L"\\a_much_longer_name.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadWide(tree.wideFolder + L"\\sub\\yy_far.txt"), std::vector<uint8_t>{'y'});
    for (const std::string& s : host.statuses) EXPECT_LE(s.size(), 60u);
}

TEST_F(FolderWalk, RootWalkNotesTheProgramFilesFolderItCouldMiss) {
    // A root without the folder: the pattern keeps the folder's path and nothing is pending.
    EXPECT_EQ(DirectoryWalker("E:\\*.*"), 0);
    EXPECT_STREQ(Session.ProgramFilesPattern, "E:\\Program Files");
    EXPECT_EQ(Session.ProgramFilesPending, 0);

    // Stored in capitals the folder exists, but no walk enters it under its exact name.
    ASSERT_TRUE(WriteText("E:\\PROGRAM FILES\\app\\x.txt", "x"));
    DirectoryWalker("E:\\*.*");
    EXPECT_STREQ(Session.ProgramFilesPattern, "E:\\Program Files\\*.*");
    EXPECT_EQ(Session.ProgramFilesPending, 1);
    EXPECT_EQ(Session.ProgramFilesSeen, 0);

    // Longer patterns leave the bookkeeping alone.
    std::strcpy(Session.ProgramFilesPattern, "kept");
    DirectoryWalker("E:\\PROGRAM FILES\\*.*");
    EXPECT_STREQ(Session.ProgramFilesPattern, "kept");
    EXPECT_EQ(Session.ProgramFilesSeen, 0);
}

TEST_F(FolderWalk, DescendingIntoProgramFilesUnderItsExactNameMarksItSeen) {
    ASSERT_TRUE(WriteText("E:\\Program Files\\app\\x.txt", "x"));
    DirectoryWalker("E:\\*.*");
    EXPECT_EQ(Session.ProgramFilesPending, 1);
    EXPECT_EQ(Session.ProgramFilesSeen, 1);
}
