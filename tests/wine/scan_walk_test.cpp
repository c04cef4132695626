// The directory walker on real folders: order of the statuses, counting, pumping, cancel, depth.
#include "spine_fixture.h"

#include <algorithm>

#include "core/path_text.h"

namespace {

class FolderWalk : public SpineTest {};
class FolderWalkOnWin98 : public SpineTest {};

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
    EXPECT_EQ(recorder.statuses, expected);
    EXPECT_EQ(Session.ScanCounters.filesScanned, 6);
    EXPECT_TRUE(recorder.lines.empty());
    // The long path is shown as its first 29 characters, two dots and its last 29.
    EXPECT_NE(std::find(recorder.statuses.begin(), recorder.statuses.end(),
                        "E:\\walk\\Tools\\Deeper\\a rather..ame that needs shortening.txt"),
              recorder.statuses.end());
}

TEST_F(FolderWalk, PumpsThreeMessagesPerListedEntry) {
    MakeSmallTree();
    int listed = CountListed("E:\\walk");
    int pumped = 0;
    onOther = [&](UINT message) {
        if (message == WM_APP + 7) ++pumped;
    };
    const int posted = 400;
    ASSERT_LT(3 * listed, posted);
    for (int i = 0; i < posted; ++i) PostMessageA(recorder.handle(), WM_APP + 7, 0, 0);
    DirectoryWalker("E:\\walk\\*.*");
    EXPECT_EQ(pumped, 3 * listed);
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
    std::vector<std::string> lines = recorder.lines;
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
    CancelAfterStatus(all[1]);
    EXPECT_EQ(DirectoryWalker("E:\\walk\\*.*"), 0);
    EXPECT_TRUE(Session.ScanCancelled);
    EXPECT_EQ(recorder.statuses, std::vector<std::string>(all.begin(), all.begin() + 2));
    // A walk started after the cancel returns at its first entry without a status.
    EXPECT_EQ(DirectoryWalker("E:\\walk\\Tools\\*.*"), 0);
    EXPECT_EQ(recorder.statuses.size(), 2u);
}

TEST_F(FolderWalk, CancelDeepInsideUnwindsEveryLevel) {
    MakeSmallTree();
    ASSERT_TRUE(WriteSample("E:\\walk\\zz_after\\worm.exe", 0));
    std::vector<std::string> all;
    ExpectedStatuses("E:\\walk", &all);
    auto at = std::find(all.begin(), all.end(), "E:\\walk\\Tools\\Deeper\\d.txt");
    ASSERT_NE(at, all.end());
    CancelAfterStatus(*at);
    int32_t result = DirectoryWalker("E:\\walk\\*.*");
    EXPECT_TRUE(result == 0 || result == Session.ScanCounters.filesScanned) << result;
    EXPECT_EQ(recorder.statuses, std::vector<std::string>(all.begin(), at + 1));
    EXPECT_TRUE(FileExists("E:\\walk\\zz_after\\worm.exe"));
}

TEST_F(FolderWalk, EscapeAnsweredNoGoesOnAndYesStops) {
    MakeSmallTree();
    std::vector<std::string> all;
    ExpectedStatuses("E:\\walk", &all);
    std::vector<UINT> dispatched;
    onOther = [&](UINT message) {
        if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_APP + 3) dispatched.push_back(message);
    };
    {
        DialogAnswerer no(IDNO);
        PostMessageA(recorder.handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(DirectoryWalker("E:\\walk\\*.*"), 6);
        no.Finish();
        EXPECT_EQ(no.answered(), 1);
        EXPECT_TRUE(Contains(no.texts(), "Terminate the Scan now?"));
    }
    EXPECT_FALSE(Session.ScanCancelled);
    EXPECT_EQ(recorder.statuses, all);
    EXPECT_TRUE(dispatched.empty()) << "the key press is the question's, not the window's";
    {
        // Only a press of the key asks: its release (which follows the key that answered the last
        // question) and any other message that merely carries 27 go to the window as usual.
        DialogAnswerer yes(IDYES);
        PostMessageA(recorder.handle(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
        PostMessageA(recorder.handle(), WM_APP + 3, MAKEWPARAM(VK_ESCAPE, 1), 0);
        PostMessageA(recorder.handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(DirectoryWalker("E:\\walk\\*.*"), 0);
        yes.Finish();
        EXPECT_EQ(yes.answered(), 1);
    }
    EXPECT_TRUE(Session.ScanCancelled);
    EXPECT_EQ(dispatched, (std::vector<UINT>{WM_KEYUP, WM_APP + 3}));
    EXPECT_EQ(recorder.statuses.size(), all.size() + 1);
}

TEST_F(FolderWalk, QuitAndDestroyMessagesCancelAndAreNotPutBack) {
    MakeSmallTree();
    bool destroyed = false;
    onOther = [&](UINT message) {
        if (message == WM_DESTROY) destroyed = true;
    };
    PostQuitMessage(0);
    EXPECT_EQ(DirectoryWalker("E:\\walk\\*.*"), 0);
    EXPECT_TRUE(Session.ScanCancelled);
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    Session.ScanCancelled = false;
    PostMessageA(recorder.handle(), WM_DESTROY, 0, 0);
    EXPECT_EQ(DirectoryWalker("E:\\walk\\*.*"), 0);
    EXPECT_TRUE(Session.ScanCancelled);
    EXPECT_FALSE(destroyed);
    EXPECT_TRUE(IsWindow(recorder.handle()));
    EXPECT_TRUE(recorder.statuses.empty());
}

TEST_F(FolderWalk, MemoryPhaseOffersOneFileWithoutCountingIt) {
    ASSERT_TRUE(WriteSample("E:\\mem\\name.exe", 0));
    ASSERT_TRUE(WriteText("E:\\mem\\clean.exe", "x"));
    std::vector<uint8_t> before = ReadBytes("E:\\mem\\name.exe");
    Session.MemoryScanMode = true;
    Session.ScanCounters.filesScanned = 17;

    Session.MemoryHit = true;
    EXPECT_EQ(DirectoryWalker("E:\\mem\\clean.exe"), 17);
    EXPECT_FALSE(Session.MemoryHit);

    EXPECT_EQ(DirectoryWalker("E:\\mem\\name.exe"), 17);
    EXPECT_TRUE(Session.MemoryHit);
    EXPECT_EQ(Session.ScanCounters.filesScanned, 17);
    EXPECT_EQ(Session.ScanCounters.filesInfected, 1);
    EXPECT_EQ(ReadBytes("E:\\mem\\name.exe"), before);
    EXPECT_TRUE(recorder.lines.empty());
    std::vector<std::string> expected = {"E:\\mem\\clean.exe", "E:\\mem\\name.exe"};
    EXPECT_EQ(recorder.statuses, expected);
}

TEST_F(FolderWalk, MemoryPhaseChecksTheOneFileAndWalksNoFolder) {
    ASSERT_TRUE(WriteText("E:\\mem\\name.exe", "x"));
    ASSERT_TRUE(WriteText("E:\\mem\\name.old\\inner.txt", "x"));
    ASSERT_TRUE(WriteText("E:\\mem\\namname.old\\decoy.txt", "x"));
    ASSERT_TRUE(WriteBytes("E:\\mem\\worm.exe", BuildMatchingSample(SignatureTable[69])));
    ASSERT_TRUE(WriteText("E:\\mem\\worm.data\\settings.ini", "x"));
    Session.MemoryScanMode = true;
    // Folders beside the running program (name.old, worm.data) are not its business: walking
    // them would only clear the hit its own file gave.
    DirectoryWalker("E:\\mem\\name.exe");
    EXPECT_EQ(recorder.statuses, std::vector<std::string>{"E:\\mem\\name.exe"});
    EXPECT_FALSE(Session.MemoryHit);
    DirectoryWalker("E:\\mem\\worm.exe");
    EXPECT_TRUE(Session.MemoryHit);
    EXPECT_EQ(recorder.statuses, (std::vector<std::string>{"E:\\mem\\name.exe", "E:\\mem\\worm.exe"}));
    EXPECT_EQ(Session.ScanCounters.filesScanned, 0);
    EXPECT_TRUE(FileExists("E:\\mem\\worm.exe"));
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
    ASSERT_EQ(recorder.lines.size(), 1u);
    EXPECT_EQ(recorder.lines[0], RemovedLine(tree.folder + "\\m.exe", "W32/Vorlex.Ih.Worm"));
    EXPECT_EQ(ReadWide(tree.wideFolder + L"\\a_much_longer_name.exe"), tree.sample);
    for (const std::string& s : recorder.statuses) {
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
    std::vector<std::string> lines = recorder.lines;
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> expected = {RemovedLine(tree.folder + "\\m.exe", "W32/Vorlex.Ih.Worm"),
                                         RemovedLine(beyond, "W32/Vorlex.Ih.Worm")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    EXPECT_FALSE(FileExists(tree.folder + "\\m.exe"));
    EXPECT_EQ(GetFileAttributesW((tree.wideFolder + L"\\a_much_longer_name.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadWide(tree.wideFolder + L"\\sub\\yy_far.txt"), std::vector<uint8_t>{'y'});
    for (const std::string& s : recorder.statuses) EXPECT_LE(s.size(), 60u);
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
