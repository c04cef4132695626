// The three process-ending back-ends against real processes: who is ended, who is left, what they report.
#include "memory_fixture.h"

#include "processes/process_backends.h"

namespace {

class SnapshotKill : public ::testing::Test {
protected:
    StartedPrograms programs;
};
class ProcessStatusKill : public SnapshotKill {};
class PerfDataKill : public SnapshotKill {};

std::string ToolHelp9x() {
    std::string path = SupportProgramPath("purgix_toolhelp9x");
    return path.substr(0, path.size() - 4) + ".dll";
}

// Sets an environment variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) { SetEnvironmentVariableA(name, value.c_str()); }
    ~ScopedVariable() { SetEnvironmentVariableA(name_, nullptr); }

private:
    const char* name_;
};

ProcessTableEntry Entry(uint32_t processId, const char* name) {
    ProcessTableEntry entry = {processId, ""};
    std::strncpy(entry.name, name, sizeof entry.name - 1);
    return entry;
}

}  // namespace

TEST_F(SnapshotKill, EndsTheFirstProcessOfTheFileNeverOneOfTheSameNameElsewhere) {
    ASSERT_TRUE(WriteCleanProgram("C:\\one\\same.exe"));
    ASSERT_TRUE(WriteCleanProgram("E:\\two\\SAME.EXE"));
    ASSERT_TRUE(WriteCleanProgram("C:\\one\\other.exe"));
    HANDLE first = programs.Start("C:\\one\\same.exe");
    HANDLE second = programs.Start("C:\\one\\same.exe");
    HANDLE twin = programs.Start("E:\\two\\SAME.EXE");
    HANDLE other = programs.Start("C:\\one\\other.exe");
    ASSERT_TRUE(first && second && twin && other);

    // Full paths, as the 9x line gives them: the file itself, one process per call.
    EXPECT_EQ(KillBySnapshotFrom(ToolHelp9x().c_str(), "c:\\ONE\\same.exe"), 1);
    EXPECT_TRUE(WaitUntil([&] { return !IsRunning(first) || !IsRunning(second); }));
    EXPECT_NE(IsRunning(first), IsRunning(second)) << "exactly one of the two is ended";
    EXPECT_EQ(KillBySnapshotFrom(ToolHelp9x().c_str(), "c:\\ONE\\same.exe"), 1);
    EXPECT_TRUE(EndsWithin(first, 30000));
    EXPECT_TRUE(EndsWithin(second, 30000));
    EXPECT_EQ(KillBySnapshotFrom(ToolHelp9x().c_str(), "c:\\ONE\\same.exe"), 0);
    EXPECT_TRUE(IsRunning(twin)) << "a program of the same name in another folder is another program";

    // Bare names, as the NT line gives them: compared by name, but where the system tells the
    // executable, a program of that name in another folder is still left alone.
    EXPECT_EQ(KillBySnapshot("D:\\elsewhere\\Same.exe"), 0);
    EXPECT_TRUE(IsRunning(twin));
    EXPECT_EQ(KillBySnapshot("e:\\two\\same.exe"), 1);
    EXPECT_TRUE(EndsWithin(twin, 30000));
    EXPECT_TRUE(IsRunning(other));
}

TEST_F(SnapshotKill, ComparesTheFirstEntryOfTheSnapshotToo) {
    ASSERT_TRUE(WriteCleanProgram("C:\\lead\\leader.exe"));
    DWORD processId = 0;
    HANDLE leader = programs.Start("C:\\lead\\leader.exe", &processId);
    ASSERT_TRUE(leader);
    // A tool-help library whose walk begins with the leader.
    ScopedVariable first("PURGIX_TOOLHELP_FIRST", std::to_string(processId));
    EXPECT_EQ(KillBySnapshotFrom(ToolHelp9x().c_str(), "C:\\lead\\leader.exe"), 1);
    EXPECT_TRUE(EndsWithin(leader, 30000));
}

TEST_F(SnapshotKill, MissingLibraryOrEntryPointsEndNothing) {
    ASSERT_TRUE(WriteCleanProgram("C:\\keep\\kept.exe"));
    HANDLE kept = programs.Start("C:\\keep\\kept.exe");
    ASSERT_TRUE(kept);
    EXPECT_EQ(KillBySnapshotFrom("C:\\nowhere\\toolhelp.dll", "C:\\keep\\kept.exe"), 0);
    EXPECT_EQ(KillBySnapshotFrom("psapi.dll", "C:\\keep\\kept.exe"), 0);  // no tool-help entry points there
    EXPECT_TRUE(IsRunning(kept));
}

TEST_F(ProcessStatusKill, EndsExactFullPathsOnlyAndReportsSuccessWithoutMatch) {
    ASSERT_TRUE(WriteCleanProgram("C:\\ps\\twin.exe"));
    ASSERT_TRUE(WriteCleanProgram("E:\\ps\\twin.exe"));
    HANDLE a = programs.Start("C:\\ps\\twin.exe");
    HANDLE b = programs.Start("C:\\ps\\twin.exe");
    HANDLE elsewhere = programs.Start("E:\\ps\\twin.exe");
    ASSERT_TRUE(a && b && elsewhere);

    EXPECT_EQ(KillByProcessStatus("C:\\nothing\\here.exe"), 1);
    EXPECT_EQ(KillByProcessStatus("C:\\ps\\twin.ex"), 1);
    EXPECT_EQ(KillByProcessStatus("C:\\ps\\twin.exe.old"), 1);
    EXPECT_TRUE(IsRunning(a));
    EXPECT_TRUE(IsRunning(b));

    EXPECT_EQ(KillByProcessStatus("c:\\PS\\TWIN.EXE"), 1);
    EXPECT_TRUE(EndsWithin(a, 30000));
    EXPECT_TRUE(EndsWithin(b, 30000));
    EXPECT_TRUE(IsRunning(elsewhere)) << "a copy of the same file in another folder is not ended";
}

TEST_F(PerfDataKill, WineHasNoProcessDataSoNothingIsEnded) {
    ASSERT_TRUE(WriteCleanProgram("C:\\pd\\abc.exe"));
    HANDLE abc = programs.Start("C:\\pd\\abc.exe");
    ASSERT_TRUE(abc);
    ProcessTable table;
    EXPECT_FALSE(ReadPerfProcessTable(&table));
    EXPECT_EQ(table.count, 0u);
    EXPECT_EQ(KillByPerformanceData("C:\\pd\\abc.exe"), 0);
    EXPECT_EQ(KillByPerformanceData("a.ex"), 0);
    EXPECT_TRUE(IsRunning(abc));
}

TEST_F(PerfDataKill, EndsEveryNumberedInstanceOfTheNameThatStillRunsTheFile) {
    // Instance names as the system gives them, and the program each process really runs.
    const struct {
        const char* name;
        const char* path;
        bool ended;
    } plan[] = {
        {"abc", "C:\\pd\\abc.exe", true},
        {"abcd", "C:\\pd\\abcd.exe", false},     // a longer name is another program
        {"abc#1", "C:\\pd\\abc.exe", true},
        {"abc#2", "E:\\other\\abc.exe", false},  // same name, other folder: the executable tells
        {"abd", "C:\\pd\\abd.exe", false},
        {"xabc", "C:\\pd\\xabc.exe", false},
    };
    const int count = sizeof plan / sizeof plan[0];
    HANDLE processes[count];
    ProcessTable table = {};
    for (int i = 0; i < count; ++i) {
        if (!FileExists(plan[i].path)) {
            ASSERT_TRUE(WriteCleanProgram(plan[i].path));
        }
        DWORD id = 0;
        processes[i] = programs.Start(plan[i].path, &id);
        ASSERT_TRUE(processes[i]);
        table.entries[i] = Entry(id, plan[i].name);
    }
    table.entries[count] = Entry(kPerfIdZeroStandIn, "abc");  // the idle process: never opened
    table.count = count + 1;

    char target[MAX_PATH];
    ASSERT_TRUE(PerfTargetName("C:\\PD\\ABC.EXE", target, sizeof target));
    EXPECT_EQ(EndMatchingTableEntries(table, target, "C:\\PD\\ABC.EXE"), 1);
    for (int i = 0; i < count; ++i) {
        if (plan[i].ended) {
            EXPECT_TRUE(EndsWithin(processes[i], 30000)) << plan[i].name;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (!plan[i].ended) {
            EXPECT_TRUE(IsRunning(processes[i])) << plan[i].name;
        }
    }
}

TEST_F(PerfDataKill, EmptyTargetsAndLongNamesMatchNothing) {
    ASSERT_TRUE(WriteCleanProgram("C:\\pd\\seventeen_chars_a.exe"));
    ASSERT_TRUE(WriteCleanProgram("C:\\pd\\abc.exe"));
    DWORD longId = 0, abcId = 0;
    HANDLE longName = programs.Start("C:\\pd\\seventeen_chars_a.exe", &longId);
    HANDLE abc = programs.Start("C:\\pd\\abc.exe", &abcId);
    ASSERT_TRUE(longName && abc);
    ProcessTable table = {};
    table.entries[0] = Entry(longId, "");  // a name of more than 16 characters is stored empty
    table.entries[1] = Entry(abcId, "abc");
    table.entries[2] = Entry(kPerfIdZeroStandIn, "abc");
    table.count = 3;

    EXPECT_EQ(EndMatchingTableEntries(table, "", "C:\\pd\\abc.exe"), 0);
    char target[MAX_PATH];
    EXPECT_FALSE(PerfTargetName("C:\\pd\\.exe", target, sizeof target));
    EXPECT_EQ(KillByPerformanceData("C:\\pd\\.exe"), 0);
    ASSERT_TRUE(PerfTargetName("C:\\pd\\seventeen_chars_a.exe", target, sizeof target));
    EXPECT_EQ(EndMatchingTableEntries(table, target, "C:\\pd\\seventeen_chars_a.exe"), 0);
    // Only the stand-in id matches here, and it is never opened.
    table.entries[1] = Entry(abcId, "zzz");
    EXPECT_EQ(EndMatchingTableEntries(table, "ABC", "C:\\pd\\abc.exe"), 0);
    EXPECT_TRUE(IsRunning(longName));
    EXPECT_TRUE(IsRunning(abc));
}
