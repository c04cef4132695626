// The platform probes on each Windows generation, enabling a privilege in the own token, and the
// forms a path takes in the ANSI code page.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/os_line.h"
#include "platform/path_forms.h"
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

TEST(PathForms, AUtf8CodePageKeepsEveryWholeNameExact) {
    // Windows 10 and later can make UTF-8 the ANSI code page; a name outside every 8-bit code page
    // is then exact, and its readable form is that same text.
    const wchar_t* cyrillic = L"E:\\\u041f\u0440\u0438\u043c\u0435\u0440\\x.exe";
    char exact[260], readable[260];
    ASSERT_TRUE(ExactInCodePage(CP_UTF8, cyrillic, exact, sizeof exact));
    EXPECT_STREQ(exact, "E:\\\xd0\x9f\xd1\x80\xd0\xb8\xd0\xbc\xd0\xb5\xd1\x80\\x.exe");
    ReadableInCodePage(CP_UTF8, cyrillic, readable, sizeof readable);
    EXPECT_STREQ(readable, exact);
    // A broken name (half a surrogate pair) has no exact form.
    EXPECT_FALSE(ExactInCodePage(CP_UTF8, L"E:\\\xd800x.exe", exact, sizeof exact));
    // In a Western code page the same name has no exact form and reads with question marks.
    EXPECT_FALSE(ExactInCodePage(1252, cyrillic, exact, sizeof exact));
    ReadableInCodePage(1252, cyrillic, readable, sizeof readable);
    EXPECT_STREQ(readable, "E:\\??????\\x.exe");
}
