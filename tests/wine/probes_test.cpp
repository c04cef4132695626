// The platform probes on each Windows generation, and enabling a privilege in the own token.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/os_line.h"
#include "platform/privilege.h"

namespace {

// True when the named privilege is enabled in this process's token.
bool PrivilegeEnabled(const char* name) {
    LUID id;
    if (!LookupPrivilegeValueA(nullptr, name, &id)) return false;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    PRIVILEGE_SET set = {};
    set.PrivilegeCount = 1;
    set.Control = PRIVILEGE_SET_ALL_NECESSARY;
    set.Privilege[0].Luid = id;
    BOOL held = FALSE;
    BOOL ok = PrivilegeCheck(token, &set, &held);
    CloseHandle(token);
    return ok && held;
}

}  // namespace

TEST(GenerationProbesOnWin98, NineXLineHasNoNtGeneration) {
    EXPECT_EQ(GetOsGeneration(), 4);
    EXPECT_EQ(GetNtGeneration(), 0);
}

TEST(GenerationProbesOnNt40, Nt4IsTheOlderNtGeneration) {
    EXPECT_EQ(GetOsGeneration(), 5);
    EXPECT_EQ(GetNtGeneration(), 5);
}

TEST(GenerationProbesOnWin2k, Nt50IsGenerationSix) {
    EXPECT_EQ(GetOsGeneration(), 5);
    EXPECT_EQ(GetNtGeneration(), 6);
}

TEST(GenerationProbesOnWinXp, Nt51IsGenerationSix) {
    EXPECT_EQ(GetOsGeneration(), 5);
    EXPECT_EQ(GetNtGeneration(), 6);
}

TEST(GenerationProbesOnWin7, Nt6IsNtButNoKnownGeneration) {
    EXPECT_EQ(GetOsGeneration(), 5);
    EXPECT_EQ(GetNtGeneration(), 0);
}

TEST(OwnTokenPrivilege, HeldPrivilegeIsEnabledAndAnUnknownOneReportsTheError) {
    EXPECT_EQ(EnablePrivilege("SeShutdownPrivilege"), 0);
    EXPECT_TRUE(PrivilegeEnabled("SeShutdownPrivilege"));
    int64_t unknown = EnablePrivilege("SeNoSuchPrivilege");
    EXPECT_NE(unknown, 0);
    EXPECT_NE(unknown, kPrivilegeTokenNotOpened);
}
