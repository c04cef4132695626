// The Wine harness gives every test what it promises: drive types, the Windows version, restarts.
#include <gtest/gtest.h>

#include "app/window_host.h"
#include "core/report.h"
#include "core/scan_session.h"
#include "wine_test_support.h"

namespace {

OSVERSIONINFOA QueryVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    EXPECT_TRUE(GetVersionExA(&info));
    return info;
}

}  // namespace

TEST(HarnessDrives, FixedCdromFixedRemovableAndNoZ) {
    EXPECT_EQ(GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_CDROM));
    EXPECT_EQ(GetDriveTypeA("E:\\"), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA("F:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_EQ(GetDriveTypeA("T:\\"), static_cast<UINT>(DRIVE_REMOTE));
    EXPECT_EQ(GetDriveTypeA("Z:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_TRUE(FileExists("C:\\windows\\system32\\kernel32.dll"));
}

TEST(HarnessVersionOnWin98, ReportsThe9xLine) {
    OSVERSIONINFOA v = QueryVersion();
    EXPECT_EQ(v.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
    EXPECT_EQ(v.dwMajorVersion, 4u);
    EXPECT_EQ(v.dwMinorVersion, 10u);
}

TEST(HarnessVersionOnNt40, ReportsNt4) {
    OSVERSIONINFOA v = QueryVersion();
    EXPECT_EQ(v.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(v.dwMajorVersion, 4u);
}

TEST(HarnessVersionOnWin2k, ReportsNt5) {
    OSVERSIONINFOA v = QueryVersion();
    EXPECT_EQ(v.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(v.dwMajorVersion, 5u);
    EXPECT_EQ(v.dwMinorVersion, 0u);
}

TEST(HarnessVersionOnWinXp, ReportsNt51) {
    OSVERSIONINFOA v = QueryVersion();
    EXPECT_EQ(v.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(v.dwMajorVersion, 5u);
    EXPECT_EQ(v.dwMinorVersion, 1u);
}

TEST(HarnessVersionOnWin7, ReportsNt6) {
    OSVERSIONINFOA v = QueryVersion();
    EXPECT_EQ(v.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(v.dwMajorVersion, 6u);
    EXPECT_EQ(v.dwMinorVersion, 1u);
}

TEST(HarnessRestart, CarriesOutDelayedDeletesAndTheRenameList) {
    const std::string delayed = "C:\\pending\\delayed.bin";
    const std::string listed = "C:\\pending\\listed.bin";
    const std::string kept = "C:\\pending\\kept.bin";
    ASSERT_TRUE(WriteText(delayed, "x"));
    ASSERT_TRUE(WriteText(listed, "y"));
    ASSERT_TRUE(WriteText(kept, "z"));
    ASSERT_TRUE(MoveFileExA(delayed.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    char shortName[MAX_PATH];
    ASSERT_NE(GetShortPathNameA(listed.c_str(), shortName, sizeof shortName), 0u);
    ASSERT_TRUE(WriteText(std::string(windows) + "\\wininit.ini", std::string("[rename]\r\nNUL=") + shortName + "\r\n"));

    ASSERT_TRUE(RestartMachine());

    EXPECT_FALSE(FileExists(delayed));
    EXPECT_FALSE(FileExists(listed));
    EXPECT_TRUE(FileExists(kept));
}

TEST(HarnessRecorder, RecordsLinesAndStatusesSentToTheMainWindow) {
    RecorderWindow recorder;
    ShowStatus("C:\\a.txt");
    WriteReportLine("%s     %s removed", "C:\\b.exe", "W32/Vorlex.Ih.Worm");
    EXPECT_NE(recorder.handle(), nullptr);
    EXPECT_EQ(recorder.statuses.size(), 1u);
    ASSERT_EQ(recorder.lines.size(), 1u);
    EXPECT_EQ(recorder.lines[0], "C:\\b.exe     W32/Vorlex.Ih.Worm removed");
    ASSERT_EQ(recorder.statuses.size(), 1u);
    EXPECT_EQ(recorder.statuses[0], "C:\\a.txt");
}
