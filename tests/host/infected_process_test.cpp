// The NT-line handling of an infected process: attempts to end it, the service fallback, the report.
#include "core/infected_process.h"
#include "core/process_list.h"

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
