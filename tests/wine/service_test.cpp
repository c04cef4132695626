// Stopping real services through the service control manager, and deleting service keys of both control sets.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/service_keys.h"
#include "processes/service_stop.h"
#include "wine_test_support.h"

namespace {

// The worm's file by its ANSI path, as the memory scan hands it on.
int32_t DeleteKeys(const char* name, const char* infectedPath) { return DeleteServiceKeys(name, NamedFile{infectedPath, nullptr}); }

// Registers test services (the program of the tests, told by its command line how to meet a
// stop) and removes them, stopped, when the test is over.
class ServiceStop : public ::testing::Test {
protected:
    void SetUp() override {
        manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        ASSERT_TRUE(manager_);
    }
    void TearDown() override {
        for (Registered& r : registered_) {
            SetEvent(r.quit);
            SERVICE_STATUS status = {};
            WaitUntil([&] { return !QueryServiceStatus(r.service, &status) || status.dwCurrentState == SERVICE_STOPPED; });
            DeleteService(r.service);
            CloseServiceHandle(r.service);
            CloseHandle(r.quit);
        }
        if (manager_) CloseServiceHandle(manager_);
    }

    // Registers `name` running the test service with `arguments`; started unless told otherwise.
    bool Register(const std::string& name, const std::string& arguments, bool start = true) {
        std::string command = "\"" + SupportProgramPath("purgix_test_service") + "\" " + arguments;
        SC_HANDLE service = CreateServiceA(manager_, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                           SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                           command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
        if (!service) return false;
        HANDLE quit = CreateEventA(nullptr, TRUE, FALSE, ("PurgixTestServiceQuit_" + name).c_str());
        registered_.push_back({service, quit});
        if (!start) return true;
        if (!StartServiceA(service, 0, nullptr)) return false;
        return WaitUntil([&] { return State(name) == SERVICE_RUNNING; });
    }

    DWORD State(const std::string& name) {
        SC_HANDLE service = OpenServiceA(manager_, name.c_str(), SERVICE_QUERY_STATUS);
        if (!service) return 0;
        SERVICE_STATUS status = {};
        DWORD state = QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
        CloseServiceHandle(service);
        return state;
    }

private:
    struct Registered {
        SC_HANDLE service;
        HANDLE quit;
    };
    SC_HANDLE manager_ = nullptr;
    std::vector<Registered> registered_;
};

// Seconds a call took.
template <typename Call>
double Timed(Call call) {
    DWORD start = GetTickCount();
    call();
    return (GetTickCount() - start) / 1000.0;
}

// Creates HKLM\path (and the keys above it).
bool MakeKey(const std::string& path) {
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A service key as the stored control sets keep it: ImagePath and an Enum subkey.
bool MakeServiceKey(const std::string& path, const std::string& imagePath) {
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key) != ERROR_SUCCESS) return false;
    LONG written = RegSetValueExA(key, "ImagePath", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(imagePath.c_str()),
                                  static_cast<DWORD>(imagePath.size() + 1));
    RegCloseKey(key);
    return written == ERROR_SUCCESS && MakeKey(path + "\\Enum");
}

bool KeyExists(const std::string& path) {
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

const std::string kSet1 = "SYSTEM\\ControlSet001\\Services\\";
const std::string kSet2 = "SYSTEM\\ControlSet002\\Services\\";

}  // namespace

TEST_F(ServiceStop, ServiceThatStopsAtOnceIsReportedStopped) {
    ASSERT_TRUE(Register("pxnormal", "normal"));
    EXPECT_EQ(StopService("pxnormal"), 1);
    EXPECT_EQ(State("pxnormal"), static_cast<DWORD>(SERVICE_STOPPED));
}

TEST_F(ServiceStop, StopPendingIsPolledUntilTheServiceStops) {
    ASSERT_TRUE(Register("pxlinger", "linger 3"));
    int32_t result = 0;
    double seconds = Timed([&] { result = StopService("pxlinger"); });
    EXPECT_EQ(result, 1);
    EXPECT_GE(seconds, 2.0) << "the result came before the service left stop-pending";
    EXPECT_LT(seconds, 20.0);
    EXPECT_EQ(State("pxlinger"), static_cast<DWORD>(SERVICE_STOPPED));
}

TEST_F(ServiceStop, MissingOrAlreadyStoppedServicesGiveZeroAtOnce) {
    ASSERT_TRUE(Register("pxidle", "normal", false));
    double seconds = Timed([&] {
        EXPECT_EQ(StopService("pxnosuchservice"), 0);
        EXPECT_EQ(StopService("pxidle"), 0);
        EXPECT_EQ(StopService(""), 0);
    });
    EXPECT_LT(seconds, 5.0);
}

TEST_F(ServiceStop, RefusedStopOrServiceStillRunningGivesZeroWithoutWaiting) {
    ASSERT_TRUE(Register("pxrefuse", "refuse"));
    ASSERT_TRUE(Register("pxrunning", "running"));
    double seconds = Timed([&] {
        EXPECT_EQ(StopService("pxrefuse"), 0);
        EXPECT_EQ(StopService("pxrunning"), 0);
    });
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(State("pxrefuse"), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(State("pxrunning"), static_cast<DWORD>(SERVICE_RUNNING));
}

TEST_F(ServiceStop, ServiceStuckInStopPendingIsGivenUpAfterThirtySeconds) {
    ASSERT_TRUE(Register("pxstuck", "linger 600"));
    int32_t result = 1;
    double seconds = Timed([&] { result = StopService("pxstuck"); });
    EXPECT_EQ(result, 0);
    EXPECT_GE(seconds, 29.0);
    EXPECT_LT(seconds, 60.0);
    EXPECT_EQ(State("pxstuck"), static_cast<DWORD>(SERVICE_STOP_PENDING));
}

TEST(ServiceKeys, DeletesSubkeysAndServiceKeyInBothControlSets) {
    for (const std::string& set : {kSet1, kSet2}) {
        ASSERT_TRUE(MakeServiceKey(set + "pxworm", "\"C:\\vx\\pxworm.exe\" -run"));
        ASSERT_TRUE(MakeKey(set + "pxworm\\Security"));
        ASSERT_TRUE(MakeServiceKey(set + "pxneighbour", "C:\\vx\\neighbour.exe"));
    }
    EXPECT_EQ(DeleteKeys("pxworm", "C:\\VX\\PXWORM.EXE"), 1);
    for (const std::string& set : {kSet1, kSet2}) {
        EXPECT_FALSE(KeyExists(set + "pxworm")) << set;
        EXPECT_TRUE(KeyExists(set + "pxneighbour\\Enum")) << set;
    }
}

TEST(ServiceKeys, EachControlSetIsJudgedByItsOwnImagePath) {
    // Only the set that registers the worm's file loses the key; a service of that name that
    // runs another program, or names none, keeps everything.
    ASSERT_TRUE(MakeServiceKey(kSet1 + "pxone", "%SystemRoot%\\pxone.exe"));
    ASSERT_TRUE(MakeServiceKey(kSet2 + "pxone", "C:\\Program Files\\Vendor\\pxone.exe"));
    ASSERT_TRUE(MakeKey(kSet2 + "pxone\\Security"));
    EXPECT_EQ(DeleteKeys("PXONE", "C:\\windows\\pxone.exe"), 1);  // key names compare without regard to case
    EXPECT_FALSE(KeyExists(kSet1 + "pxone"));
    EXPECT_TRUE(KeyExists(kSet2 + "pxone\\Enum"));
    EXPECT_TRUE(KeyExists(kSet2 + "pxone\\Security"));

    ASSERT_TRUE(MakeServiceKey(kSet2 + "pxtwo", "\\SystemRoot\\System32\\pxtwo.exe"));
    ASSERT_TRUE(MakeKey(kSet1 + "pxtwo\\Enum"));  // no ImagePath: it names no program
    EXPECT_EQ(DeleteKeys("pxtwo", "C:\\windows\\system32\\pxtwo.exe"), 1);
    EXPECT_FALSE(KeyExists(kSet2 + "pxtwo"));
    EXPECT_TRUE(KeyExists(kSet1 + "pxtwo\\Enum"));
    EXPECT_EQ(DeleteKeys("pxtwo", "C:\\windows\\system32\\pxtwo.exe"), 0);
}

TEST(ServiceKeys, RelativeImagePathsAreFoundWhereTheSystemStartsThem) {
    // The service manager starts "pxrel.exe" from the system folder, "system32\pxrel2.exe" from the
    // Windows folder; a worm of that name anywhere else is another file.
    ASSERT_TRUE(MakeServiceKey(kSet1 + "pxrel", "pxrel.exe -k"));
    ASSERT_TRUE(MakeServiceKey(kSet2 + "pxrel", "system32\\pxrel.exe"));
    EXPECT_EQ(DeleteKeys("pxrel", "C:\\Temp\\pxrel.exe"), 0);
    EXPECT_TRUE(KeyExists(kSet1 + "pxrel\\Enum"));
    EXPECT_TRUE(KeyExists(kSet2 + "pxrel\\Enum"));
    EXPECT_EQ(DeleteKeys("pxrel", "C:\\windows\\system32\\pxrel.exe"), 1);
    EXPECT_FALSE(KeyExists(kSet1 + "pxrel"));
    EXPECT_FALSE(KeyExists(kSet2 + "pxrel"));
}

TEST(ServiceKeys, ServiceKeyWithOtherSubkeysStaysButTheResultIsOne) {
    ASSERT_TRUE(MakeServiceKey(kSet1 + "pxkept", "C:\\vx\\pxkept.exe"));
    ASSERT_TRUE(MakeKey(kSet1 + "pxkept\\Parameters"));
    EXPECT_EQ(DeleteKeys("pxkept", "C:\\vx\\pxkept.exe"), 1);
    EXPECT_FALSE(KeyExists(kSet1 + "pxkept\\Enum"));
    EXPECT_TRUE(KeyExists(kSet1 + "pxkept\\Parameters"));
}

TEST(ServiceKeys, MissingEmptyAndOverlongNamesDeleteNothing) {
    ASSERT_TRUE(MakeServiceKey(kSet1 + "pxstays", "C:\\vx\\pxstays.exe"));
    ASSERT_TRUE(MakeKey("SYSTEM\\ControlSet002\\Services"));  // empty, so it could be deleted
    EXPECT_EQ(DeleteKeys("pxnothere", "C:\\vx\\pxnothere.exe"), 0);
    // An empty name would address the Services key itself.
    EXPECT_EQ(DeleteKeys("", "C:\\vx\\.exe"), 0);
    EXPECT_TRUE(KeyExists("SYSTEM\\ControlSet002\\Services"));
    EXPECT_EQ(DeleteKeys("pxstays\\Enum", "C:\\vx\\pxstays.exe"), 0);
    EXPECT_TRUE(KeyExists(kSet1 + "pxstays\\Enum"));
    // Prefix, name and suffix would not fit the 512-byte key path.
    std::string overlong(490, 'p');
    EXPECT_EQ(DeleteKeys(overlong.c_str(), "C:\\vx\\pxstays.exe"), 0);
    EXPECT_TRUE(KeyExists(kSet1 + "pxstays"));
}
