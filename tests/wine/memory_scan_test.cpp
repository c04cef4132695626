// The memory step with real running worms and bystanders, and KillFileProcesses on each Windows generation.
#include "memory_fixture.h"

#include <algorithm>

#include "clean/service_keys.h"
#include "core/text.h"
#include "processes/kill_file_processes.h"
#include "processes/process_backends.h"

namespace {

class MemoryScanOnWinXp : public MemoryTest {};
class MemoryScanOnWin2k : public MemoryTest {};
class MemoryScanOnWin98 : public MemoryTest {};
class MemoryScanOnWin7 : public MemoryTest {};
class KillFileProcessesOnWin98 : public MemoryTest {};
class KillFileProcessesOnWinXp : public MemoryTest {};
class KillFileProcessesOnNt40 : public MemoryTest {};

std::string ToolHelp9x() {
    std::string path = SupportProgramPath("purgix_toolhelp9x");
    return path.substr(0, path.size() - 4) + ".dll";
}

bool Contains(const std::vector<std::string>& lines, const std::vector<std::string>& run) {
    return std::search(lines.begin(), lines.end(), run.begin(), run.end()) != lines.end();
}

// A service's key in a stored control set as Windows keeps it (Wine has only the current set):
// its ImagePath with the Enum and Security subkeys.
bool CopyServiceKey(const std::string& set, const std::string& name, const std::string& imagePath) {
    const std::string base = "SYSTEM\\" + set + "\\Services\\" + name;
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, base.c_str(), &key) != ERROR_SUCCESS) return false;
    LONG written = RegSetValueExA(key, "ImagePath", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(imagePath.c_str()),
                               static_cast<DWORD>(imagePath.size() + 1));
    RegCloseKey(key);
    for (const char* sub : {"\\Enum", "\\Security"}) {
        if (RegCreateKeyA(HKEY_LOCAL_MACHINE, (base + sub).c_str(), &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
    }
    return written == ERROR_SUCCESS;
}

bool ServiceKeyExists(const std::string& set, const std::string& path) {
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, ("SYSTEM\\" + set + "\\Services\\" + path).c_str(), &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// A service of the test program, registered and started for one test; stopped (its quit event
// set, for one that refuses to stop) and deleted after it.
class RunningService {
public:
    RunningService(const std::string& name, const std::string& commandLine) {
        manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        if (!manager_) return;
        service_ = CreateServiceA(manager_, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                  SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, commandLine.c_str(), nullptr, nullptr,
                                  nullptr, nullptr, nullptr);
        quit_ = CreateEventA(nullptr, TRUE, FALSE, ("PurgixTestServiceQuit_" + name).c_str());
        started_ = service_ && StartServiceA(service_, 0, nullptr) &&
                   WaitUntil([&] { return State() == SERVICE_RUNNING; });
    }
    ~RunningService() {
        if (quit_) SetEvent(quit_);
        if (service_) {
            WaitUntil([&] { return State() == SERVICE_STOPPED || State() == 0; });
            DeleteService(service_);
            CloseServiceHandle(service_);
        }
        if (quit_) CloseHandle(quit_);
        if (manager_) CloseServiceHandle(manager_);
    }
    bool started() const { return started_; }
    // The current state, or 0 when it cannot be asked.
    DWORD State() {
        SERVICE_STATUS status = {};
        return service_ && QueryServiceStatus(service_, &status) ? status.dwCurrentState : 0;
    }

private:
    SC_HANDLE manager_ = nullptr;
    SC_HANDLE service_ = nullptr;
    HANDLE quit_ = nullptr;
    bool started_ = false;
};

// The real steps of the memory scan, but with a worm process that refuses to end.
InfectedProcessSteps UnendingProcessSteps(const char* path) {
    static RunningWorm worm;
    worm = RunningWorm{NamedFile{path, nullptr}, RunnableRecord()};
    InfectedProcessSteps steps = MemoryScanSteps(&worm);
    steps.endProcess = [](void*, uint32_t, const char*) { return false; };
    return steps;
}

}  // namespace

TEST_F(MemoryScanOnWinXp, EndsEveryRunningWormAndRemovesItsFilesLeavingCleanProgramsAlone) {
    const std::string worm = "C:\\infected\\worm.exe";
    const std::string other = "E:\\other place\\svchosts.exe";
    const std::string clean = "C:\\clean\\sleeper.exe";
    ASSERT_TRUE(WriteRunnableWorm(worm));
    ASSERT_TRUE(WriteRunnableWorm(other));
    ASSERT_TRUE(WriteCleanProgram(clean));
    HANDLE w1 = programs.Start(worm);
    HANDLE w2 = programs.Start(worm);
    HANDLE w3 = programs.Start(other);
    HANDLE c = programs.Start(clean);
    ASSERT_TRUE(w1 && w2 && w3 && c);

    EXPECT_FALSE(MemoryScan().wormKeepsRunning);  // every worm found could be ended

    EXPECT_TRUE(EndsWithin(w1, 30000));
    EXPECT_TRUE(EndsWithin(w2, 30000));
    EXPECT_TRUE(EndsWithin(w3, 30000));
    EXPECT_TRUE(IsRunning(c));
    EXPECT_FALSE(FileExists(worm));
    EXPECT_FALSE(FileExists(other));
    EXPECT_TRUE(FileExists(clean));
    EXPECT_TRUE(Contains(host.lines, MemoryRemovalLines(worm))) << ::testing::PrintToString(host.lines);
    EXPECT_TRUE(Contains(host.lines, MemoryRemovalLines(other))) << ::testing::PrintToString(host.lines);
    EXPECT_EQ(host.lines.size(), 4u) << ::testing::PrintToString(host.lines);
    EXPECT_EQ(Session.ScanCounters.filesScanned, 0);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 2);
}

TEST_F(MemoryScanOnWin2k, CleanMachineGivesNoLineAndNoCount) {
    ASSERT_TRUE(WriteCleanProgram("C:\\clean\\one.exe"));
    HANDLE c = programs.Start("C:\\clean\\one.exe");
    ASSERT_TRUE(c);
    int32_t restart = 0;
    EXPECT_EQ(ScanProcessesByStatus(&restart), 0);
    EXPECT_EQ(restart, 0);
    const MemoryScanResult result = MemoryScan();
    EXPECT_FALSE(result.wormKeepsRunning);
    EXPECT_TRUE(IsRunning(c));
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(Session.ScanCounters.filesScanned, 0);
    EXPECT_EQ(Session.ScanCounters.filesInfected, 0);
}

TEST_F(MemoryScanOnWin98, ASnapshotEntryWithoutAFullPathIsNotJudged) {
    // Wine's tool-help gives only the file name where Windows 9x gave the full path. A bare name
    // says nothing of where the file lies: run from the current folder, the worm's name would lead
    // to its file there, but a name is no path, and the drive walk meets the file where it lies.
    const std::string folder = "C:\\nine";
    ASSERT_TRUE(WriteRunnableWorm(folder + "\\worm98.exe"));
    HANDLE w = programs.Start(folder + "\\worm98.exe");
    ASSERT_TRUE(w);
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));

    MemoryScan();
    SetCurrentDirectoryA(previous);

    EXPECT_TRUE(IsRunning(w));
    EXPECT_TRUE(FileExists(folder + "\\worm98.exe"));
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(Session.ScanCounters.filesInfected, 0);
}
TEST_F(MemoryScanOnWin98, WormsInEveryFolderAreEndedWhenTheSnapshotGivesFullPaths) {
    const std::string a = "C:\\a\\worm.exe", b = "E:\\b\\deep\\worm.exe", clean = "C:\\clean\\worm_like.exe";
    ASSERT_TRUE(WriteRunnableWorm(a));
    ASSERT_TRUE(WriteRunnableWorm(b));
    ASSERT_TRUE(WriteCleanProgram(clean));
    HANDLE wa = programs.Start(a);
    HANDLE wb = programs.Start(b);
    HANDLE c = programs.Start(clean);
    ASSERT_TRUE(wa && wb && c);
    EXPECT_NE(ScanProcessesBySnapshotFrom(ToolHelp9x().c_str()), 0);
    EXPECT_TRUE(EndsWithin(wa, 30000));
    EXPECT_TRUE(EndsWithin(wb, 30000));
    EXPECT_TRUE(IsRunning(c));
    EXPECT_FALSE(FileExists(a));
    EXPECT_FALSE(FileExists(b));
    EXPECT_TRUE(FileExists(clean));
    EXPECT_TRUE(Contains(host.lines, MemoryRemovalLines(a))) << ::testing::PrintToString(host.lines);
    EXPECT_TRUE(Contains(host.lines, MemoryRemovalLines(b))) << ::testing::PrintToString(host.lines);
    EXPECT_EQ(Session.ScanCounters.filesScanned, 0);
}

TEST_F(MemoryScanOnWin98, MissingToolHelpMeansNoMemoryStep) {
    ASSERT_TRUE(WriteRunnableWorm("C:\\a\\worm.exe"));
    HANDLE w = programs.Start("C:\\a\\worm.exe");
    ASSERT_TRUE(w);
    EXPECT_EQ(ScanProcessesBySnapshotFrom("C:\\nowhere\\kernel.dll"), 0);
    EXPECT_EQ(ScanProcessesBySnapshotFrom("psapi.dll"), 0);
    EXPECT_TRUE(IsRunning(w));
    EXPECT_TRUE(host.lines.empty());
}

TEST_F(MemoryScanOnWin7, LeaveActionEndsNothingAndRemovesNothing) {
    Session.RemovalAction = kActionLeave;
    const std::string worm = "C:\\left\\worm.exe";
    ASSERT_TRUE(WriteRunnableWorm(worm));
    HANDLE w = programs.Start(worm);
    ASSERT_TRUE(w);

    MemoryScan();
    EXPECT_NE(ScanProcessesBySnapshotFrom(ToolHelp9x().c_str()), 0);  // found, and left alone

    EXPECT_TRUE(IsRunning(w));
    EXPECT_TRUE(FileExists(worm));
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(Session.ScanCounters.filesInfected, 2);  // the check itself still ran, once per scan
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 0);
}

TEST_F(MemoryScanOnWinXp, WormServiceThatStopsIsRemovedWithItsKeys) {
    // A worm running as a service whose process refuses to end: the service is stopped instead.
    const std::string path = "C:\\svc\\wormsvc.exe";
    ASSERT_TRUE(WriteRunnableWorm(path, "purgix_test_service"));
    RunningService service("wormsvc", "\"" + path + "\" normal");
    ASSERT_TRUE(service.started());
    // The stored sets name the program in the other forms the system accepts.
    char shortPath[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath), 0u);
    ASSERT_TRUE(CopyServiceKey("ControlSet001", "wormsvc", "\\??\\C:\\svc\\wormsvc.exe normal"));
    ASSERT_TRUE(CopyServiceKey("ControlSet002", "wormsvc", std::string(shortPath) + " normal"));

    const InfectedProcessSteps steps = UnendingProcessSteps(path.c_str());
    ProcessList list;
    ASSERT_EQ(ListProcessesByStatus(&list, nullptr), StatusListOutcome::kListed);
    uint32_t processId = 0;
    for (const ProcessNode* n = list.first(); n; n = n->next)
        if (CompareNoCase(n->path, path.c_str()) == 0) processId = n->processId;
    ASSERT_NE(processId, 0u);
    int32_t restart = 0;
    EXPECT_FALSE(EndInfectedProcess(steps, processId, path.c_str(), &restart));

    EXPECT_EQ(restart, 0);
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_FALSE(ServiceKeyExists("ControlSet001", "wormsvc"));
    EXPECT_FALSE(ServiceKeyExists("ControlSet002", "wormsvc"));
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(host.lines, MemoryRemovalLines(path));
}

TEST_F(MemoryScanOnWinXp, WormServiceThatCannotBeStoppedAsksForTheRestart) {
    const std::string path = "C:\\svc\\stubborn.exe";
    ASSERT_TRUE(WriteRunnableWorm(path, "purgix_test_service"));
    RunningService service("stubborn", "\"" + path + "\" refuse");
    ASSERT_TRUE(service.started());
    ASSERT_TRUE(CopyServiceKey("ControlSet002", "stubborn", "%SystemDrive%\\svc\\stubborn.exe refuse"));

    const InfectedProcessSteps steps = UnendingProcessSteps(path.c_str());
    int32_t restart = 0;
    EXPECT_TRUE(EndInfectedProcess(steps, 4242, path.c_str(), &restart));

    EXPECT_EQ(restart, 1);
    EXPECT_FALSE(ServiceKeyExists("ControlSet002", "stubborn"));
    EXPECT_TRUE(FileExists(path));
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_RUNNING));
}

TEST_F(MemoryScanOnWinXp, ServiceOfTheWormsNameRunningAnotherProgramIsLeftAlone) {
    // A real service, spooling for some vendor, and a worm copy of the same file name elsewhere.
    const std::string program = "C:\\Program Files\\Vendor\\pxspool.exe";
    const std::string worm = "C:\\Temp\\pxspool.exe";
    std::vector<uint8_t> serviceProgram = ReadBytes(SupportProgramPath("purgix_test_service"));
    ASSERT_TRUE(WriteBytes(program, serviceProgram));
    ASSERT_TRUE(WriteRunnableWorm(worm, "purgix_test_service"));
    RunningService service("pxspool", "\"" + program + "\" normal");
    ASSERT_TRUE(service.started());
    for (const char* set : {"ControlSet001", "ControlSet002"})
        ASSERT_TRUE(CopyServiceKey(set, "pxspool", "\"%ProgramFiles%\\Vendor\\pxspool.exe\" normal"));

    const InfectedProcessSteps steps = UnendingProcessSteps(worm.c_str());
    int32_t restart = 0;
    EXPECT_FALSE(EndInfectedProcess(steps, 4242, worm.c_str(), &restart));

    // Not stopped, no key deleted, no restart asked for on its account; the worm is left to the walk.
    EXPECT_EQ(restart, 0);
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_RUNNING));
    for (const char* set : {"ControlSet001", "ControlSet002"}) {
        EXPECT_TRUE(ServiceKeyExists(set, "pxspool\\Enum")) << set;
        EXPECT_TRUE(ServiceKeyExists(set, "pxspool\\Security")) << set;
    }
    EXPECT_TRUE(ServiceKeyExists("CurrentControlSet", "pxspool"));
    EXPECT_TRUE(FileExists(worm));
    EXPECT_TRUE(host.lines.empty());

    // The same worm whose own service is registered in one stored set only: that set's keys go.
    ASSERT_TRUE(CopyServiceKey("ControlSet002", "pxspool", worm + " -run"));
    EXPECT_EQ(DeleteServiceKeys("pxspool", NamedFile{worm.c_str(), nullptr}), 1);
    EXPECT_TRUE(ServiceKeyExists("ControlSet001", "pxspool\\Enum"));
    EXPECT_FALSE(ServiceKeyExists("ControlSet002", "pxspool"));
}

TEST_F(KillFileProcessesOnWin98, EndsTheProcessOfTheFileOrSaysItCouldNot) {
    ASSERT_TRUE(WriteCleanProgram("C:\\k\\victim.exe"));
    ASSERT_TRUE(WriteCleanProgram("E:\\copy\\victim.exe"));
    HANDLE copy = programs.Start("E:\\copy\\victim.exe");
    HANDLE victim = programs.Start("C:\\k\\victim.exe");
    ASSERT_TRUE(copy && victim);
    EXPECT_EQ(KillFileProcesses("C:\\K\\VICTIM.EXE"), 1);
    EXPECT_TRUE(EndsWithin(victim, 30000));
    EXPECT_TRUE(host.notices.empty());

    // The copy of the same name elsewhere is another program: it is not ended, and that is said.
    EXPECT_EQ(KillFileProcesses("C:\\k\\victim.exe"), 0);
    EXPECT_TRUE(IsRunning(copy));
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].text, "Could not kill process");
    EXPECT_EQ(host.notices[0].caption, "C:\\k\\victim.exe");
}

TEST_F(KillFileProcessesOnWinXp, ProcessStatusBackEndNeverShowsTheBox) {
    ASSERT_TRUE(WriteCleanProgram("C:\\k\\victim.exe"));
    ASSERT_TRUE(WriteCleanProgram("E:\\k\\victim.exe"));
    HANDLE victim = programs.Start("C:\\k\\victim.exe");
    HANDLE twin = programs.Start("E:\\k\\victim.exe");
    ASSERT_TRUE(victim && twin);
    EXPECT_EQ(KillFileProcesses("C:\\k\\absent.exe"), 1);
    EXPECT_EQ(KillFileProcesses("C:\\k\\victim.exe"), 1);
    EXPECT_TRUE(EndsWithin(victim, 30000));
    EXPECT_TRUE(IsRunning(twin));
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(KillFileProcessesOnNt40, PerformanceDataBackEndThatEndsNothingSaysSo) {
    // No process runs the file, whatever the system publishes about its processes.
    EXPECT_EQ(KillFileProcesses("C:\\k\\absent.exe"), 0);
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].text, "Could not kill process");
    EXPECT_EQ(host.notices[0].caption, "C:\\k\\absent.exe");
}
