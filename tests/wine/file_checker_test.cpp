// The file checker on real files: what it removes, what it leaves byte for byte, what it reports.
#include "spine_fixture.h"

#include <cwchar>

#include "remove/restart_removal.h"


namespace {

const char* const kEntryName = "W32/Vorlex.Trojan ";

class CheckedFiles : public EngineTest {};
class CheckedFilesOnWin98 : public EngineTest {};

}  // namespace

TEST_F(CheckedFiles, MatchingSamplesAreDeletedWithOneLineEach) {
    const int records[] = {0, 18, 32, 50, 69};
    std::vector<std::string> expected;
    for (int r : records) {
        std::string path = "E:\\check\\sample" + std::to_string(r) + ".exe";
        ASSERT_TRUE(WriteSample(path, r, r == 18));
        EXPECT_EQ(FileChecker(kEntryName, path.c_str(), -1), 1) << path;
        EXPECT_FALSE(FileExists(path)) << path;
        expected.push_back(RemovedLine(path, RecordName(r)));
    }
    EXPECT_EQ(host.lines, expected);
    EXPECT_EQ(RecordName(32), "W32/Vorlex.Bj.Dl.Trojan");
    EXPECT_EQ(Session.ScanCounters.filesInfected, 5);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 5);
    EXPECT_EQ(Session.ScanCounters.filesScanned, 0);  // the walker counts, not the checker
    EXPECT_EQ(Session.RestartNeeded, 0);
}

TEST_F(CheckedFiles, ReadOnlyHiddenAndSystemMatchesAreDeletedToo) {
    std::string path = "E:\\deep\\er\\nest\\hidden.dll";
    ASSERT_TRUE(WriteSample(path, 69));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(FileChecker(kEntryName, path.c_str(), -1), 1);
    EXPECT_FALSE(FileExists(path));
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0], "E:\\deep\\er\\nest\\hidden.dll     W32/Vorlex.Ih.Worm removed");
}

TEST_F(CheckedFiles, NearMissesAndCleanFilesStayByteForByte) {
    struct Case {
        std::string path;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    const NearMiss kinds[] = {NearMiss::SizePlusOne,      NearMiss::SizeMinusOne,     NearMiss::ProbeByteFlipped,
                              NearMiss::BrokenPe,         NearMiss::TwentyOneSections, NearMiss::HeaderOffsetAbove64K};
    for (int r : {0, 32, 69}) {
        for (NearMiss kind : kinds) {
            std::vector<uint8_t> bytes = BuildNearMiss(SignatureTable[r], kind);
            if (bytes.empty()) continue;  // a size too small for that kind of miss
            cases.push_back({"E:\\near\\r" + std::to_string(r) + "_" + NearMissName(kind) + ".exe", bytes});
        }
    }
    cases.push_back({"E:\\clean\\notes.txt", std::vector<uint8_t>(16304, 'a')});  // a keyed size, no "PE"
    cases.push_back({"E:\\clean\\tiny.exe", {'M', 'Z', 0x40, 0}});
    cases.push_back({"E:\\clean\\short61.exe", std::vector<uint8_t>(61, 0)});
    cases.push_back({"E:\\clean\\empty.dat", {}});
    cases.push_back({"E:\\clean\\notepad.exe", ReadBytes("C:\\windows\\system32\\notepad.exe")});
    ASSERT_GT(cases.back().bytes.size(), 0u);
    for (const Case& c : cases) ASSERT_TRUE(WriteBytes(c.path, c.bytes)) << c.path;

    for (const Case& c : cases) {
        // Once without a listing, once with the listing's size the walker would pass along.
        EXPECT_EQ(FileChecker(kEntryName, c.path.c_str(), -1), 0) << c.path;
        EXPECT_EQ(FileChecker(kEntryName, c.path.c_str(), static_cast<int64_t>(c.bytes.size())), 0) << c.path;
        EXPECT_EQ(ReadBytes(c.path), c.bytes) << c.path;
    }
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(Session.ScanCounters.filesInfected, 0);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 0);
    EXPECT_EQ(FileChecker(kEntryName, "E:\\clean\\missing.exe", -1), 0);
}

TEST_F(CheckedFiles, AnUnkeyedListedSizeSkipsTheFileButStillForgetsTheValueName) {
    std::string path = "E:\\hint\\sample.exe";
    ASSERT_TRUE(WriteSample(path, 32));
    std::vector<uint8_t> before = ReadBytes(path);
    std::strcpy(Session.WormValueName, "remembered");
    // The listing claims a length no record is keyed to: the file is not even opened.
    EXPECT_EQ(FileChecker(kEntryName, path.c_str(), 12345), 0);
    EXPECT_STREQ(Session.WormValueName, "");
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_TRUE(host.lines.empty());
    // A keyed listed size leads to the full check of what the file really holds.
    std::strcpy(Session.WormValueName, "remembered");
    EXPECT_EQ(FileChecker(kEntryName, path.c_str(), static_cast<int64_t>(before.size())), 1);
    EXPECT_FALSE(FileExists(path));
    // Once something was found the remembered name is kept for the cleaning of later finds.
    std::strcpy(Session.WormValueName, "kept");
    EXPECT_EQ(FileChecker(kEntryName, "E:\\hint\\other.exe", 12345), 0);
    EXPECT_STREQ(Session.WormValueName, "kept");
}

TEST_F(CheckedFiles, ARunningProgramsFileIsRecordedAndLeftForItsProcessToEnd) {
    std::string path = "E:\\running\\worm.exe";
    ASSERT_TRUE(WriteSample(path, 0));
    std::vector<uint8_t> before = ReadBytes(path);
    EXPECT_EQ(CheckRunningExecutable(NamedFile{path.c_str(), nullptr}), 0);
    EXPECT_EQ(CheckRunningExecutable(NamedFile{"E:\\running\\missing.exe", nullptr}), -1);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(Session.ScanCounters.filesInfected, 1);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 0);
    EXPECT_STREQ(Session.StatusText, path.c_str());
}

TEST_F(CheckedFiles, AnEndedProgramsFileIsRemovedAfterAPauseUnderTheTableName) {
    std::string path = "E:\\running\\worm.exe";
    ASSERT_TRUE(WriteSample(path, 0));
    DWORD start = GetTickCount();
    RemoveEndedExecutable(NamedFile{path.c_str(), nullptr}, "E:\\running\\worm.exe", 0);
    EXPECT_GE(GetTickCount() - start, 900u);
    EXPECT_FALSE(FileExists(path));
    std::vector<std::string> expected = {"System Memory    W32/Vorlex.Trojan  removed",
                                         "E:\\running\\worm.exe     W32/Vorlex.Trojan  removed"};
    EXPECT_EQ(host.lines, expected);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 1);
    EXPECT_EQ(Session.ScanCounters.filesInfected, 0);

    // Left by choice, the file is named as its check showed it, under its record's name.
    ASSERT_TRUE(WriteSample(path, 32));
    Session.RemovalAction = kActionLeave;
    RemoveEndedExecutable(NamedFile{path.c_str(), nullptr}, "E:\\run..worm.exe", 32);
    EXPECT_EQ(host.lines.back(), "E:\\run..worm.exe     W32/Vorlex.Bj.Dl.Trojan not disinfected as per user's selection");
    EXPECT_TRUE(FileExists(path));
}

TEST_F(CheckedFiles, RenameLeaveAndUnknownActions) {
    std::string a = "E:\\act\\one.exe", b = "E:\\act\\two.exe", c = "E:\\act\\three.exe", d = "E:\\act\\four.exe";
    for (const std::string& p : {a, b, c, d}) ASSERT_TRUE(WriteSample(p, 69));
    std::vector<uint8_t> bytes = ReadBytes(a);
    ASSERT_TRUE(WriteText("E:\\act\\four.Vxe", "in the way"));

    Session.RemovalAction = kActionRename;
    EXPECT_EQ(FileChecker(kEntryName, a.c_str(), -1), 1);
    EXPECT_FALSE(FileExists(a));
    EXPECT_EQ(ReadBytes("E:\\act\\one.Vxe"), bytes);
    EXPECT_EQ(FileChecker(kEntryName, d.c_str(), -1), 1);  // the new name is taken
    EXPECT_TRUE(FileExists(d));

    Session.RemovalAction = kActionLeave;
    EXPECT_EQ(FileChecker(kEntryName, b.c_str(), -1), 1);
    EXPECT_EQ(ReadBytes(b), bytes);

    Session.RemovalAction = 0;
    EXPECT_EQ(FileChecker(kEntryName, c.c_str(), -1), 1);
    EXPECT_EQ(ReadBytes(c), bytes);

    std::vector<std::string> expected = {
        "E:\\act\\one.exe     W32/Vorlex.Ih.Worm renamed",
        "E:\\act\\four.exe     W32/Vorlex.Ih.Worm Rename failed",
        "E:\\act\\two.exe     W32/Vorlex.Ih.Worm not disinfected as per user's selection",
    };
    EXPECT_EQ(host.lines, expected);
    EXPECT_EQ(Session.ScanCounters.filesInfected, 4);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 0);
}

TEST_F(CheckedFiles, HeldMatchIsScheduledAndRestartNeededTakesTheResult) {
    std::string path = "E:\\held\\worm.exe";
    ASSERT_TRUE(WriteSample(path, 32));
    HeldFile held(path);
    ASSERT_TRUE(held.held());
    Session.RestartNeeded = 5;  // an assignment replaces it; adding or or-ing would not give 1
    EXPECT_EQ(FileChecker(kEntryName, path.c_str(), -1), 1);
    // Ending the processes finds none that runs the file, and says so.
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].text, "Could not kill process");
    EXPECT_EQ(host.notices[0].caption, path);
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0], "E:\\held\\worm.exe     W32/Vorlex.Bj.Dl.Trojan Unable to remove");
    EXPECT_TRUE(FileExists(path));
    // The NT line's delayed delete always reports the removal as scheduled.
    EXPECT_EQ(Session.RestartNeeded, 1);
    EXPECT_EQ(Session.ScanCounters.filesInfected, 1);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 0);

    held.Release();
    ASSERT_TRUE(RestartMachine());
    EXPECT_FALSE(FileExists(path));
}

// The deletions pending for the next restart, as the system keeps them (wide text).
std::wstring PendingDeletions() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return L"";
    std::vector<wchar_t> data(32768);
    DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t) - 4);
    LONG status = RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return L"";
    std::wstring all;
    for (size_t i = 0; i < size / sizeof(wchar_t); ++i) all += data[i] ? data[i] : L'|';
    return all;
}

TEST_F(CheckedFiles, ARefusedDelayedDeletePromisesNoRestartAndCancelsNoEarlierOne) {
    // Wine never refuses a delayed delete; Windows does, to a caller without the right to write
    // its list of pending renames.
    struct Refusing {
        DelayedDeleteFunction real = NtDelayedDelete;
        Refusing() { NtDelayedDelete = [](const char*, const wchar_t*) { return false; }; }
        ~Refusing() { NtDelayedDelete = real; }
    };
    const std::string refused = "E:\\held\\refused.exe", taken = "E:\\held\\taken.exe", later = "E:\\held\\later.exe";
    for (const std::string& p : {refused, taken, later}) ASSERT_TRUE(WriteSample(p, 69));
    HeldFile h1(refused), h2(taken), h3(later);
    ASSERT_TRUE(h1.held() && h2.held() && h3.held());
    {
        Refusing refusing;
        EXPECT_EQ(FileChecker(kEntryName, refused.c_str(), -1), 1);
    }
    EXPECT_EQ(Session.RestartNeeded, 0);
    EXPECT_EQ(host.lines.back(), refused + "     W32/Vorlex.Ih.Worm Unable to remove");
    EXPECT_EQ(FileChecker(kEntryName, taken.c_str(), -1), 1);
    EXPECT_EQ(Session.RestartNeeded, 1);
    {
        Refusing refusing;
        EXPECT_EQ(FileChecker(kEntryName, later.c_str(), -1), 1);
    }
    EXPECT_EQ(Session.RestartNeeded, 1);
    EXPECT_EQ(host.lines.size(), 3u);
}

TEST_F(CheckedFiles, AFileTheAnsiFunctionsCannotNameGoesThroughTheWideOnes) {
    // E:\Ελληνικά: no character of it in the ANSI code page, and the short name left aside.
    const std::wstring folder = L"E:\\\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac";
    const std::wstring worm = folder + L"\\\u03c3\u03ba.exe", held = folder + L"\\\u03ba\u03c1.exe";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(WriteWide(worm, BuildMatchingSample(SignatureTable[32])));
    ASSERT_TRUE(WriteWide(held, BuildMatchingSample(SignatureTable[69])));
    const std::string shownWorm = "E:\\????????\\??.exe", shownHeld = "E:\\????????\\??.exe";

    EXPECT_EQ(FileCheckerWide(worm.c_str(), shownWorm.c_str(), -1), 1);
    EXPECT_EQ(GetFileAttributesW(worm.c_str()), INVALID_FILE_ATTRIBUTES);

    // Held open by a program (which names it by its short form): not ended, as it does not run
    // the file; the deletion waits for the restart, under the file's true wide path.
    wchar_t shortForm[MAX_PATH];
    ASSERT_GT(GetShortPathNameW(held.c_str(), shortForm, MAX_PATH), 0u);
    HeldFile holder(std::string(shortForm, shortForm + std::wcslen(shortForm)));
    ASSERT_TRUE(holder.held());
    EXPECT_EQ(FileCheckerWide(held.c_str(), shownHeld.c_str(), -1), 1);
    EXPECT_EQ(host.lines, (std::vector<std::string>{shownWorm + "     W32/Vorlex.Bj.Dl.Trojan removed",
                                                        shownHeld + "     W32/Vorlex.Ih.Worm Unable to remove"}));
    EXPECT_EQ(Session.RestartNeeded, 1);
    EXPECT_NE(PendingDeletions().find(L"\\??\\" + held), std::wstring::npos);
    EXPECT_EQ(Session.ScanCounters.filesInfected, 2);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 1);

    holder.Release();
    ASSERT_TRUE(RestartMachine());
    EXPECT_EQ(GetFileAttributesW(held.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CheckedFilesOnWin98, AFailedSchedulingAfterASuccessKeepsTheRestartDue) {
    std::string first = "E:\\held\\first.exe", second = "E:\\held\\second.exe";
    ASSERT_TRUE(WriteSample(first, 69));
    ASSERT_TRUE(WriteSample(second, 69));
    {
        HeldFile held(first);
        ASSERT_TRUE(held.held());
        EXPECT_EQ(FileChecker(kEntryName, first.c_str(), -1), 1);
        EXPECT_EQ(Session.RestartNeeded, 1);
    }
    // The rename list can no longer be written: a folder stands where the list file was.
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string list = std::string(windows) + "\\wininit.ini";
    ASSERT_TRUE(DeleteFileA(list.c_str())) << GetLastError() << " attrs " << GetFileAttributesA(list.c_str()) << " " << list;
    ASSERT_TRUE(CreateDirectoryA(list.c_str(), nullptr));
    {
        HeldFile held(second);
        ASSERT_TRUE(held.held());
        EXPECT_EQ(FileChecker(kEntryName, second.c_str(), -1), 1);
        // The first file still waits for the restart.
        EXPECT_EQ(Session.RestartNeeded, 1);
    }
    EXPECT_EQ(host.lines.back(), second + "     W32/Vorlex.Ih.Worm Unable to remove");
}
