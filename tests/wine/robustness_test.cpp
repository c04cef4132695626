// The walk on hostile trees: far too deep, huge folders, files that vanish or change under it, locked files.
#include "spine_fixture.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "core/path_text.h"

namespace {

class WalkHazards : public EngineTest {};
class WalkHazardsOnWin98 : public EngineTest {};

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }
// The long form of a path, which reaches below 259 characters.
std::wstring Long(const std::string& path) { return L"\\\\?\\" + Wide(path); }

bool MakeFolderAnyDepth(const std::string& path) {
    return CreateDirectoryW(Long(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WriteAnyDepth(const std::string& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::vector<uint8_t> ReadAnyDepth(const std::string& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    if (!bytes.empty() && (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                           got != bytes.size()))
        bytes.clear();
    CloseHandle(file);
    return bytes;
}

bool ExistsAnyDepth(const std::string& path) {
    return GetFileAttributesW(Long(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What a walk of folder may reach, counted from the long-form listings: a file when its path
// fits `limit` characters, a subfolder when its own search pattern does.
struct Reach {
    int files = 0;
    std::vector<std::string> reachedFiles;
};

void CountReachable(const std::string& folder, bool reachable, size_t limit, Reach* out) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((Long(folder) + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> subfolders;
    do {
        std::string name = Narrow(entry.cFileName);
        if (name == "." || name == "..") continue;
        std::string path = folder + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            subfolders.push_back(name);
        } else if (reachable && path.size() <= limit) {
            ++out->files;
            out->reachedFiles.push_back(path);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    for (const std::string& name : subfolders) {
        std::string child = folder + "\\" + name;
        CountReachable(child, reachable && (child + "\\*.*").size() <= limit, limit, out);
    }
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// Holds a file open for reading with no sharing, as another program may; closed on destruction.
class ExclusiveHold {
public:
    explicit ExclusiveHold(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~ExclusiveHold() { Release(); }
    bool held() const { return file_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE file_;
};

}  // namespace

// A chain of one-letter folders 200 deep (408 characters), with a file and now and then a sample
// on each level, and a pair of wide names. Walked with the ANSI functions (the 9x line), as deep as
// a path can be named in them, about 123 levels; walked on the NT line, to the end, the paths
// past 259 characters shown by their short forms.
void WalkTheChain(RecordingHost& host, size_t limit) {
    std::string folder = "E:\\chain";
    ASSERT_TRUE(MakeFolderAnyDepth(folder));
    std::vector<std::string> samples;
    for (int level = 1; level <= 200; ++level) {
        folder += "\\d";
        ASSERT_TRUE(MakeFolderAnyDepth(folder)) << level;
        ASSERT_TRUE(WriteAnyDepth(folder + "\\f", {'f'})) << level;
        if (level % 25 == 0 || level == 122 || level == 123) {
            samples.push_back(folder + "\\s.exe");
            ASSERT_TRUE(WriteAnyDepth(samples.back(), BuildMatchingSample(SignatureTable[69])));
        }
    }
    // Wide names: the second level already passes the limit; a sample beside the first is reachable.
    std::string wide = "E:\\chain\\" + std::string(120, 'w');
    ASSERT_TRUE(MakeFolderAnyDepth(wide));
    ASSERT_TRUE(MakeFolderAnyDepth(wide + "\\" + std::string(130, 'v')));
    ASSERT_TRUE(WriteAnyDepth(wide + "\\near.exe", BuildMatchingSample(SignatureTable[32])));
    ASSERT_TRUE(WriteAnyDepth(wide + "\\" + std::string(130, 'v') + "\\far.exe",
                              BuildMatchingSample(SignatureTable[32])));
    samples.push_back(wide + "\\near.exe");
    samples.push_back(wide + "\\" + std::string(130, 'v') + "\\far.exe");

    Reach reach;
    CountReachable("E:\\chain", true, limit, &reach);
    std::vector<std::string> reachedSamples, keptSamples;
    for (const std::string& s : samples)
        (std::find(reach.reachedFiles.begin(), reach.reachedFiles.end(), s) != reach.reachedFiles.end()
             ? reachedSamples
             : keptSamples)
            .push_back(s);
    // Both kinds are present where there is a limit, so the test sees it from both sides.
    ASSERT_GE(reachedSamples.size(), 5u);
    ASSERT_GE(keptSamples.size(), limit == kMaxPathChars ? 4u : 0u);
    ASSERT_GT(reach.files, 120);
    // The wide names' samples match record 32, the chain's record 69. Their lines are known before
    // the walk: a removed file has no short form to ask for.
    auto record = [](const std::string& s) { return s.find("\\" + std::string(120, 'w')) != std::string::npos ? 32 : 69; };
    std::vector<std::string> expected;
    for (const std::string& s : reachedSamples) expected.push_back(RemovedLine(ShownForm(s), RecordName(record(s))));

    EXPECT_EQ(DirectoryWalker("E:\\chain\\*.*"), reach.files);
    EXPECT_EQ(Session.ScanCounters.filesScanned, reach.files);
    EXPECT_EQ(Session.ScanCounters.filesInfected, static_cast<int32_t>(reachedSamples.size()));
    EXPECT_EQ(Session.ScanCounters.filesRemoved, static_cast<int32_t>(reachedSamples.size()));
    EXPECT_EQ(Sorted(host.lines), Sorted(expected));
    for (const std::string& s : reachedSamples) EXPECT_FALSE(ExistsAnyDepth(s)) << s;
    for (const std::string& s : keptSamples)
        EXPECT_EQ(ReadAnyDepth(s), BuildMatchingSample(SignatureTable[record(s)])) << s;
    for (const std::string& status : host.statuses) EXPECT_LE(status.size(), 60u) << status;
    EXPECT_FALSE(Session.ScanCancelled);
}

TEST_F(WalkHazardsOnWin98, TreesFarBeyond259CharactersAreWalkedUpToTheLimitOnly) { WalkTheChain(host, kMaxPathChars); }

TEST_F(WalkHazards, TreesFarBeyond259CharactersAreWalkedToTheirEndOnTheNtLine) { WalkTheChain(host, 32763); }

TEST_F(WalkHazards, ThousandsOfEntriesInOneFolderAreEachShownOnceWhileOneIsRemoved) {
    // Far more entries than one listing call returns, so the listing is read in many portions
    // while a sample in their midst is deleted. (The GUI tests scan 20,000; made here, under
    // Wine, each new name costs a search of the whole folder.)
    const int count = 3000;
    ASSERT_TRUE(MakeFolders("E:\\big\\sub"));
    for (int i = 0; i < count; ++i) {
        char path[64];
        std::snprintf(path, sizeof path, "E:\\big\\entry_%05d.txt", i);
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        WriteFile(file, path, 4, &written, nullptr);
        CloseHandle(file);
    }
    ASSERT_TRUE(WriteSample("E:\\big\\entry_worm.exe", 18));
    ASSERT_TRUE(WriteText("E:\\big\\sub\\inner.txt", "x"));
    std::vector<WIN32_FIND_DATAA> listed = ListEntries("E:\\big\\*.*");
    ASSERT_EQ(listed.size(), count + 4u);  // the files, the sample, sub, "." and ".."

    EXPECT_EQ(DirectoryWalker("E:\\big\\*.*"), count + 2);
    EXPECT_EQ(Session.ScanCounters.filesScanned, count + 2);
    EXPECT_EQ(host.lines, std::vector<std::string>{RemovedLine("E:\\big\\entry_worm.exe", RecordName(18))});
    EXPECT_FALSE(FileExists("E:\\big\\entry_worm.exe"));
    // Every listed entry is shown once, in listing order, before the subfolder's own entries.
    ASSERT_GE(host.statuses.size(), listed.size());
    for (size_t i = 0; i < listed.size(); ++i)
        ASSERT_EQ(host.statuses[i], std::string("E:\\big\\") + listed[i].cFileName) << i;
    EXPECT_EQ(host.statuses.back(), "E:\\big\\sub\\inner.txt");
    EXPECT_EQ(std::set<std::string>(host.statuses.begin(), host.statuses.end()).size(),
              host.statuses.size());
}

TEST_F(WalkHazards, FilesThatVanishOrChangeBetweenListingAndCheckArePassedBy) {
    // Every file here passes the size gate by its listed size, so the checker really opens it.
    ASSERT_TRUE(WriteSample("E:\\vanish\\gone.exe", 0));
    ASSERT_TRUE(WriteSample("E:\\vanish\\now_a_folder.exe", 18));
    ASSERT_TRUE(WriteSample("E:\\vanish\\truncated.exe", 69));
    ASSERT_TRUE(WriteSample("E:\\vanish\\overwritten.exe", 32));
    ASSERT_TRUE(WriteSample("E:\\vanish\\kept.exe", 0));
    const size_t overwrittenSize = ReadBytes("E:\\vanish\\overwritten.exe").size();
    bool changed = false;
    // The status of an entry is shown before its check: that is where the file is pulled away.
    host.onStatus = [&](const std::string& shown) {
        if (shown == "E:\\vanish\\gone.exe") {
            changed = DeleteFileA("E:\\vanish\\gone.exe");
        } else if (shown == "E:\\vanish\\now_a_folder.exe") {
            changed = DeleteFileA(shown.c_str()) && CreateDirectoryA(shown.c_str(), nullptr);
        } else if (shown == "E:\\vanish\\truncated.exe") {
            changed = WriteText(shown, "MZ short");
        } else if (shown == "E:\\vanish\\overwritten.exe") {
            changed = WriteBytes(shown, std::vector<uint8_t>(overwrittenSize, 0x90));
        } else {
            return;
        }
        EXPECT_TRUE(changed) << shown;
    };

    EXPECT_EQ(DirectoryWalker("E:\\vanish\\*.*"), 5);
    // All five were files when listed, so all five count; only the untouched one is found.
    EXPECT_EQ(Session.ScanCounters.filesScanned, 5);
    EXPECT_EQ(Session.ScanCounters.filesInfected, 1);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 1);
    EXPECT_EQ(host.lines, std::vector<std::string>{RemovedLine("E:\\vanish\\kept.exe", RecordName(0))});
    EXPECT_EQ(Session.RestartNeeded, 0);
    EXPECT_EQ(ReadBytes("E:\\vanish\\overwritten.exe"), std::vector<uint8_t>(overwrittenSize, 0x90));
    EXPECT_EQ(ReadText("E:\\vanish\\truncated.exe"), "MZ short");
    // The file that became a folder is walked as one in the folder pass.
    EXPECT_TRUE(Contains(host.statuses, "E:\\vanish\\now_a_folder.exe\\.."));
}

TEST_F(WalkHazards, FolderThatVanishesWhileItsParentIsListedIsPassedBy) {
    for (const char* folder : {"E:\\siblings\\first", "E:\\siblings\\second"}) {
        ASSERT_TRUE(WriteText(std::string(folder) + "\\a.txt", "a"));
        ASSERT_TRUE(WriteText(std::string(folder) + "\\b.txt", "b"));
        ASSERT_TRUE(WriteSample(std::string(folder) + "\\w.exe", 69));
    }
    ASSERT_TRUE(WriteText("E:\\siblings\\top.txt", "t"));
    // Whichever sibling is walked first pulls the other one away with everything in it, after the
    // parent's folder pass has already listed it.
    std::string removed;
    host.onStatus = [&](const std::string& shown) {
        if (!removed.empty()) return;
        for (const char* name : {"first", "second"}) {
            std::string own = std::string("E:\\siblings\\") + name + "\\";
            if (shown.compare(0, own.size(), own) != 0) continue;
            removed = std::string("E:\\siblings\\") + (std::string(name) == "first" ? "second" : "first");
            for (const char* file : {"\\a.txt", "\\b.txt", "\\w.exe"})
                EXPECT_TRUE(DeleteFileA((removed + file).c_str()));
            EXPECT_TRUE(RemoveDirectoryA(removed.c_str()));
        }
    };

    EXPECT_EQ(DirectoryWalker("E:\\siblings\\*.*"), 4);
    ASSERT_FALSE(removed.empty());
    std::string kept = removed == "E:\\siblings\\first" ? "E:\\siblings\\second" : "E:\\siblings\\first";
    EXPECT_EQ(Session.ScanCounters.filesScanned, 4);  // top.txt and the three files of the sibling that stayed
    EXPECT_EQ(host.lines, std::vector<std::string>{RemovedLine(kept + "\\w.exe", RecordName(69))});
    for (const std::string& status : host.statuses)
        EXPECT_NE(status.compare(0, removed.size() + 1, removed + "\\"), 0) << status;
}

TEST_F(WalkHazards, FileHeldWithoutSharingIsPassedByAndFoundOnceReleased) {
    ASSERT_TRUE(WriteSample("E:\\held\\locked.exe", 0));
    ASSERT_TRUE(WriteSample("E:\\held\\free.exe", 18));
    ASSERT_TRUE(WriteText("E:\\held\\note.txt", "n"));
    const std::vector<uint8_t> lockedBytes = ReadBytes("E:\\held\\locked.exe");
    {
        ExclusiveHold hold("E:\\held\\locked.exe");
        ASSERT_TRUE(hold.held());
        EXPECT_EQ(DirectoryWalker("E:\\held\\*.*"), 3);
        EXPECT_EQ(Session.ScanCounters.filesScanned, 3);
        EXPECT_EQ(Session.ScanCounters.filesInfected, 1);
        EXPECT_EQ(host.lines, std::vector<std::string>{RemovedLine("E:\\held\\free.exe", RecordName(18))});
        EXPECT_EQ(Session.RestartNeeded, 0);
        EXPECT_TRUE(Contains(host.statuses, "E:\\held\\locked.exe"));
        }
    EXPECT_EQ(ReadBytes("E:\\held\\locked.exe"), lockedBytes);

    // Released, the same file is found: it was passed by for the lock alone.
    host.lines.clear();
    EXPECT_EQ(DirectoryWalker("E:\\held\\*.*"), 5);
    EXPECT_EQ(host.lines, std::vector<std::string>{RemovedLine("E:\\held\\locked.exe", RecordName(0))});
    EXPECT_FALSE(FileExists("E:\\held\\locked.exe"));
}
