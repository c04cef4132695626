// The handling of an infected process: attempts to end it, the service fallback, the last look at
// what a process runs before it is ended, and what the walk follows.
#include "core/entry_kind.h"
#include "core/infected_process.h"
#include "core/process_identity.h"
#include "core/process_list.h"
#include "core/process_parameters.h"
#include "core/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A scripted machine: which attempts end the process, the NT generation, whether the service stops.
struct Machine {
    std::vector<bool> endResults;  // one per attempt, in order
    int32_t generation = 6;
    int32_t serviceStops = 0;
    bool serviceRunsWorm = true;  // the service of the worm's name is registered to run the worm's file
    std::vector<std::string> calls;
    size_t attempts = 0;

    InfectedProcessSteps Steps() {
        InfectedProcessSteps s;
        s.context = this;
        s.endProcess = [](void* c, uint32_t pid, const char*) {
            Machine* m = static_cast<Machine*>(c);
            m->calls.push_back("end " + std::to_string(pid));
            return m->attempts < m->endResults.size() && m->endResults[m->attempts++];
        };
        s.ntGeneration = [](void* c) { return static_cast<Machine*>(c)->generation; };
        s.serviceRunsFile = [](void* c, const char* name, const char* path) {
            static_cast<Machine*>(c)->calls.push_back(std::string("runs ") + name + " " + path);
            return static_cast<Machine*>(c)->serviceRunsWorm;
        };
        s.stopService = [](void* c, const char* name) {
            static_cast<Machine*>(c)->calls.push_back(std::string("stop ") + name);
            return static_cast<Machine*>(c)->serviceStops;
        };
        s.deleteServiceKeys = [](void* c, const char* name, const char*) {
            static_cast<Machine*>(c)->calls.push_back(std::string("keys ") + name);
            return 1;
        };
        s.removalWalk = [](void* c, const char* path) {
            static_cast<Machine*>(c)->calls.push_back(std::string("remove ") + path);
        };
        return s;
    }
};

const char* kPath = "C:\\WINDOWS\\worm.svc.exe";

std::string Runs() { return std::string("runs worm.svc ") + kPath; }

}  // namespace

TEST(InfectedProcessOnNtLine, SecondAttemptThatEndsItRemovesTheFile) {
    Machine m;
    m.endResults = {false, true};
    int32_t restart = 0;
    EXPECT_FALSE(EndInfectedProcess(m.Steps(), 42, kPath, &restart));
    EXPECT_EQ(m.calls, (std::vector<std::string>{"end 42", "end 42", std::string("remove ") + kPath}));
    EXPECT_EQ(restart, 0);
}

TEST(InfectedProcessOnNtLine, EndedFirstTimeStillTriesTheServiceAndRemovesTheFileOnce) {
    for (int32_t generation : {5, 6}) {
        Machine m;
        m.endResults = {true, false};
        m.generation = generation;
        int32_t restart = 0;
        // Ended normally: the scan goes on to the drives, so no restart question and no exit.
        EXPECT_FALSE(EndInfectedProcess(m.Steps(), 7, kPath, &restart));
        EXPECT_EQ(m.calls, (std::vector<std::string>{"end 7", "end 7", Runs(), "stop worm.svc", "keys worm.svc",
                                                     std::string("remove ") + kPath}));
        EXPECT_EQ(restart, 1);
    }
}

TEST(InfectedProcessOnNtLine, StoppedServiceHasItsKeysDeletedAndFileRemoved) {
    Machine m;
    m.endResults = {false, false};
    m.generation = 5;
    m.serviceStops = 1;
    int32_t restart = 0;
    EXPECT_FALSE(EndInfectedProcess(m.Steps(), 9, kPath, &restart));
    EXPECT_EQ(m.calls, (std::vector<std::string>{"end 9", "end 9", Runs(), "stop worm.svc", "keys worm.svc",
                                                 std::string("remove ") + kPath}));
    EXPECT_EQ(restart, 0);
}

TEST(InfectedProcessOnNtLine, UnstoppableWormAsksForTheRestart) {
    Machine m;
    m.endResults = {false, false};
    m.generation = 6;
    int32_t restart = 0;
    EXPECT_TRUE(EndInfectedProcess(m.Steps(), 9, kPath, &restart));
    EXPECT_EQ(m.calls, (std::vector<std::string>{"end 9", "end 9", Runs(), "stop worm.svc", "keys worm.svc"}));
    EXPECT_EQ(restart, 1);
}

TEST(InfectedProcessOnNtLine, ServiceOfTheSameNameRunningAnotherProgramIsLeftAlone) {
    for (bool firstEnded : {false, true}) {
        Machine m;
        m.endResults = {firstEnded, false};
        m.generation = 6;
        m.serviceRunsWorm = false;
        int32_t restart = 0;
        // Not stopped, no key deleted, no restart asked for on its account.
        EXPECT_FALSE(EndInfectedProcess(m.Steps(), 5, kPath, &restart));
        std::vector<std::string> expected = {"end 5", "end 5", Runs()};
        if (firstEnded) expected.push_back(std::string("remove ") + kPath);
        EXPECT_EQ(m.calls, expected);
        EXPECT_EQ(restart, 0);
    }
}

TEST(InfectedProcessOnNtLine, LaterGenerationsHaveNoServiceFallback) {
    Machine stuck;
    stuck.endResults = {false, false};
    stuck.generation = 0;
    int32_t restart = 0;
    EXPECT_FALSE(EndInfectedProcess(stuck.Steps(), 3, kPath, &restart));
    EXPECT_EQ(stuck.calls, (std::vector<std::string>{"end 3", "end 3"}));
    EXPECT_EQ(restart, 0);

    Machine ended;
    ended.endResults = {true, false};
    ended.generation = 0;
    EXPECT_FALSE(EndInfectedProcess(ended.Steps(), 3, kPath, &restart));
    EXPECT_EQ(ended.calls, (std::vector<std::string>{"end 3", "end 3", std::string("remove ") + kPath}));
    EXPECT_EQ(restart, 0);
}

TEST(InfectedProcessOnNtLine, ServiceNameIsTheFileNameWithoutItsLastExtension) {
    char name[260];
    ServiceNameFromPath("C:\\WINDOWS\\system32\\foo.exe", name, sizeof name);
    EXPECT_STREQ(name, "foo");
    ServiceNameFromPath("C:\\dir.d\\a.b.exe", name, sizeof name);
    EXPECT_STREQ(name, "a.b");
    ServiceNameFromPath("C:\\dir.d\\noext", name, sizeof name);
    EXPECT_STREQ(name, "noext");
    ServiceNameFromPath("bare.exe", name, sizeof name);
    EXPECT_STREQ(name, "bare");
    ServiceNameFromPath("C:\\x\\.exe", name, sizeof name);
    EXPECT_STREQ(name, "");
}

TEST(ProcessNodes, KeepEnumerationOrderAndCutLongPaths) {
    ProcessList list;
    EXPECT_TRUE(list.Append(4, "C:\\a.exe"));
    EXPECT_TRUE(list.Append(8, std::string(400, 'x').c_str()));
    EXPECT_TRUE(list.Append(12, "C:\\c.exe"));
    ASSERT_EQ(list.size(), 3u);
    const ProcessNode* n = list.first();
    EXPECT_EQ(n->processId, 4u);
    EXPECT_STREQ(n->path, "C:\\a.exe");
    n = n->next;
    EXPECT_EQ(std::string(n->path), std::string(259, 'x'));
    n = n->next;
    EXPECT_EQ(n->processId, 12u);
    EXPECT_EQ(n->next, nullptr);
}

// The last look before a process is ended on the 9x line: a snapshot taken just then.
namespace {
bool SameIgnoringCase(const char* a, const char* b) { return CompareNoCase(a, b) == 0; }
}  // namespace

TEST(ProcessIdentity, OnlyAListedFullPathOfTheFileItselfConfirmsTheProcess) {
    const ListedProcess now[] = {{7, "C:\\WINDOWS\\SYSTEM\\VXSVC32.EXE"}, {9, "C:\\TOOLS\\VXSVC32.EXE"}, {11, "explorer.exe"}};
    const char* worm = "c:\\windows\\system\\vxsvc32.exe";
    EXPECT_EQ(MatchListedProcess(now, 3, 7, worm, SameIgnoringCase), ImageMatch::kSameFile);
    // The id now runs a program of the worm's name elsewhere: the worm ended, its id was reused.
    EXPECT_EQ(MatchListedProcess(now, 3, 9, worm, SameIgnoringCase), ImageMatch::kOtherFile);
    // Gone from the listing: nothing to end, and the id may soon be another program's.
    EXPECT_EQ(MatchListedProcess(now, 3, 8, worm, SameIgnoringCase), ImageMatch::kOtherFile);
    // A bare name tells nothing of where the program lies.
    EXPECT_EQ(MatchListedProcess(now, 3, 11, "c:\\windows\\explorer.exe", SameIgnoringCase), ImageMatch::kUnknown);
    const ListedProcess unnamed[] = {{5, nullptr}};
    EXPECT_EQ(MatchListedProcess(unnamed, 1, 5, worm, SameIgnoringCase), ImageMatch::kUnknown);
}

// The image path in a process's own parameters, where NT 4 without the process-status library
// still tells it. The memory below is laid out as a 32-bit and a 64-bit process lay it out.
namespace {
struct FakeProcess {
    std::vector<uint8_t> memory = std::vector<uint8_t>(0x400, 0);
    void Put(size_t at, uint64_t value, size_t size) {
        for (size_t i = 0; i < size; ++i) memory[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
    // PEB at 0x100, parameters at 0x200, the text at 0x300.
    void Lay(const ProcessParameterLayout& layout, const std::u16string& image, uint16_t length) {
        Put(0x100 + layout.parametersInPeb, 0x200, layout.pointerSize);
        Put(0x200 + layout.imagePathInParameters, length, 2);
        Put(0x200 + layout.imagePathInParameters + 2, length, 2);
        Put(0x200 + layout.imagePathInParameters + layout.pointerSize, 0x300, layout.pointerSize);
        for (size_t i = 0; i < image.size(); ++i) Put(0x300 + 2 * i, image[i], 2);
    }
};
std::u16string ReadImage(FakeProcess& p, const ProcessParameterLayout& layout, size_t capacity = 64) {
    MemorySource memory(p.memory.data(), p.memory.size());
    std::vector<uint16_t> out(capacity);
    if (!ReadImagePathFromMemory(memory, 0x100, layout, out.data(), out.size())) return u"<none>";
    return std::u16string(out.begin(), out.begin() + static_cast<long>(std::char_traits<char16_t>::length(
                                                               reinterpret_cast<const char16_t*>(out.data()))));
}
}  // namespace

TEST(ProcessParameters, TheImagePathIsReadWhereEachBitnessKeepsIt) {
    const std::u16string image = u"C:\\WINNT\\system32\\csrss.exe";
    for (const ProcessParameterLayout* layout : {&kParameters32, &kParameters64}) {
        FakeProcess p;
        p.Lay(*layout, image, static_cast<uint16_t>(image.size() * 2));
        EXPECT_EQ(ReadImage(p, *layout), image);
        // An odd or empty length, or one past the reader's room, reads as nothing: the process is
        // then not judged, and not ended.
        FakeProcess odd;
        odd.Lay(*layout, image, 7);
        EXPECT_EQ(ReadImage(odd, *layout), u"<none>");
        FakeProcess empty;
        empty.Lay(*layout, image, 0);
        EXPECT_EQ(ReadImage(empty, *layout), u"<none>");
        EXPECT_EQ(ReadImage(p, *layout, image.size()), u"<none>");
        EXPECT_EQ(ReadImage(p, *layout, image.size() + 1), image);
    }
    // A text that runs past the readable memory fails whole.
    FakeProcess cut;
    cut.Lay(kParameters32, image, 0x200);
    EXPECT_EQ(ReadImage(cut, kParameters32, 0x200), u"<none>");
}

TEST(EntryKinds, LinksJunctionsAndDataElsewhereAreNotTheWalksToFollow) {
    const uint32_t directory = 0x10, reparse = 0x400;
    EXPECT_FALSE(LeadsElsewhere(directory, 0));
    EXPECT_TRUE(LeadsElsewhere(directory | reparse, 0xA0000003));  // junction or mount point
    EXPECT_TRUE(LeadsElsewhere(directory | reparse, 0xA000000C));  // symbolic link
    EXPECT_TRUE(LeadsElsewhere(directory | reparse, 0));           // no tag told (Wine's links)
    EXPECT_FALSE(LeadsElsewhere(0x20 | reparse, 0x80000017));      // a file kept compressed: its data is here
    EXPECT_TRUE(DataElsewhere(0x20 | 0x1000));                     // offline
    EXPECT_TRUE(DataElsewhere(0x20 | 0x400000));                   // fetched when read
    EXPECT_FALSE(DataElsewhere(0x20 | 0x2 | 0x4 | 0x1));           // hidden, system, read-only: all here
    EXPECT_TRUE(ListedFromElsewhere(directory | 0x40000));
    EXPECT_FALSE(ListedFromElsewhere(directory));
}
