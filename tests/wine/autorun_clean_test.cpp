// Autorun values and the uninstall entry in the real registry: what goes, and that nothing else moves.
#include "clean_fixture.h"

#include "disinfect/autorun_and_hosts.h"
#include "clean/uninstall_entry.h"
#include "core/scan_session.h"

namespace {

const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kRunServices = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\rhcjg7j0e38v";
const std::string kOtherUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SomeEditor";
const char kWalkLine[] = "System Registry     W32/Vorlex.Trojan removed";

class AutorunClean : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        // Neighbours every test expects to survive untouched.
        ASSERT_TRUE(SetValue(kRun, "Editor", "C:\\Program Files\\Editor\\editor.exe -tray"));
        ASSERT_TRUE(SetValue(kRun, "Shell Helper", "explorer.exe"));
        ASSERT_TRUE(SetValue(kRunServices, "Spooler Helper", "\"C:\\Windows\\System32\\spoolhlp.exe\""));
        ASSERT_TRUE(SetValue(kOtherUninstall, "UninstallString", "C:\\Program Files\\Editor\\uninstall.exe"));
    }
    void Infected(const std::string& path) { infected_ = path; }
    // The cleaning of one match of the file named by Infected (none yet: no autorun walk).
    int32_t Clean(const char* detectionName) { return CleanAutorunAndHosts(detectionName, infected_.c_str()); }
    std::vector<std::string> Lines(size_t count, const std::string& line) const {
        return std::vector<std::string>(count, line);
    }
    std::string infected_;
};

}  // namespace

TEST_F(AutorunClean, BareNameGoesWhenTheFileIsInSystem32) {
    ASSERT_TRUE(SetValue(kRun, "Worm", "wormx.exe"));
    ASSERT_TRUE(SetValue(kRunServices, "WormLoader", "rundll32.exe WORMX.EXE,Start"));
    KeySnapshot run = SnapshotKey(kRun), services = SnapshotKey(kRunServices);
    Infected("C:\\Windows\\System32\\wormx.exe");

    EXPECT_EQ(Clean("W32/Vorlex.Ih.Worm"), 1);

    EXPECT_EQ(SnapshotKey(kRun), Without(run, {"Worm"}));
    EXPECT_EQ(SnapshotKey(kRunServices), Without(services, {"WormLoader"}));
    EXPECT_EQ(host.lines, Lines(2, kWalkLine));
    EXPECT_STREQ(Session.WormValueName, "WormLoader");
}

TEST_F(AutorunClean, BareNameStaysWhenTheFileIsElsewhereButItsRootedPathGoes) {
    ASSERT_TRUE(SetValue(kRun, "Worm", "wormx.exe"));
    ASSERT_TRUE(SetValue(kRun, "Rooted", "\\tools\\wormx.exe /q"));
    ASSERT_TRUE(SetValue(kRun, "Elsewhere", "\\other\\wormx.exe /q"));
    KeySnapshot run = SnapshotKey(kRun);
    Infected("C:\\Tools\\wormx.exe");

    Clean("W32/Vorlex.Ih.Worm");

    EXPECT_EQ(SnapshotKey(kRun), Without(run, {"Rooted"}));
    EXPECT_EQ(host.lines, Lines(1, kWalkLine));
    EXPECT_STREQ(Session.WormValueName, "Rooted");
}

TEST_F(AutorunClean, QuotedFullPathInAnotherCaseGoes) {
    ASSERT_TRUE(SetValue(kRun, "Updater", "\"c:\\PROGRAM FILES\\tool\\WormX.EXE\" -hide -run"));
    KeySnapshot run = SnapshotKey(kRun);
    Infected("C:\\Program Files\\Tool\\wormx.exe");

    Clean("W32/Vorlex.Ih.Worm");

    EXPECT_EQ(SnapshotKey(kRun), Without(run, {"Updater"}));
    EXPECT_EQ(host.lines, Lines(1, kWalkLine));
    EXPECT_STREQ(Session.WormValueName, "Updater");
}

TEST_F(AutorunClean, EnvironmentFormMatchesWhenExpanded) {
    ASSERT_TRUE(SetValue(kRun, "SysWorm", "%SystemRoot%\\System32\\wormx.exe -s", REG_EXPAND_SZ));
    ASSERT_TRUE(SetValue(kRun, "SysOther", "%SystemRoot%\\System32\\other.exe -s", REG_EXPAND_SZ));
    KeySnapshot run = SnapshotKey(kRun);
    Infected(WindowsFolder() + "\\system32\\wormx.exe");

    Clean("W32/Vorlex.Ih.Worm");

    EXPECT_EQ(SnapshotKey(kRun), Without(run, {"SysWorm"}));
    EXPECT_EQ(host.lines, Lines(1, kWalkLine));
}

TEST_F(AutorunClean, AdjacentMatchingValuesBothGo) {
    // Registry enumeration here is by name, so these three sit next to each other.
    ASSERT_TRUE(SetValue(kRun, "WormA", "C:\\Temp\\wormx.exe"));
    ASSERT_TRUE(SetValue(kRun, "WormB", "\"C:\\Temp\\wormx.exe\" again"));
    ASSERT_TRUE(SetValue(kRun, "WormC", "C:\\Temp\\wormx.exe;C:\\Temp\\other.exe"));
    ASSERT_TRUE(SetValue(kRun, "WormD", "C:\\Temp\\wormx.exe.bak"));  // another file: it stays
    ASSERT_TRUE(SetValue(kRun, "Zed", "C:\\Temp\\zed.exe"));
    KeySnapshot run = SnapshotKey(kRun);
    Infected("C:\\Temp\\wormx.exe");

    Clean("W32/Vorlex.Ih.Worm");

    EXPECT_EQ(SnapshotKey(kRun), Without(run, {"WormA", "WormB", "WormC"}));
    EXPECT_EQ(host.lines, Lines(3, kWalkLine));
}

TEST_F(AutorunClean, RememberedNameGoesFromTheOtherKeysOnTheNextMatch) {
    ASSERT_TRUE(SetValue(kRun, "svcupd", "C:\\Temp\\first.exe"));
    ASSERT_TRUE(SetValue(kRunServices, "svcupd", "C:\\Other\\looks-harmless.exe"));
    ASSERT_TRUE(SetValue(kUninstall, "svcupd", "anything"));
    Infected("C:\\Temp\\first.exe");
    Clean("W32/Vorlex.Ih.Worm");
    EXPECT_FALSE(HasValue(kRun, "svcupd"));
    EXPECT_TRUE(HasValue(kRunServices, "svcupd"));
    EXPECT_STREQ(Session.WormValueName, "svcupd");

    KeySnapshot run = SnapshotKey(kRun), services = SnapshotKey(kRunServices), uninstall = SnapshotKey(kUninstall);
    Infected("D:\\elsewhere\\second.exe");
    Clean("W32/Vorlex.Bj.Dl.Trojan");

    EXPECT_EQ(SnapshotKey(kRun), run);
    EXPECT_EQ(SnapshotKey(kRunServices), Without(services, {"svcupd"}));
    EXPECT_EQ(SnapshotKey(kUninstall), Without(uninstall, {"svcupd"}));
    std::vector<std::string> expected = {kWalkLine, "System Registry     W32/Vorlex.Bj.Dl.Trojan removed",
                                         "System Registry     W32/Vorlex.Bj.Dl.Trojan removed"};
    EXPECT_EQ(host.lines, expected);
}

TEST_F(AutorunClean, DataLongerThanTheOldBufferIsJudgedWhole) {
    std::string tail(600, 'x');
    ASSERT_TRUE(SetValue(kRun, "LongWorm", "\"C:\\Temp\\wormx.exe\" " + tail));
    ASSERT_TRUE(SetValue(kRun, "LongOther", "C:\\Temp\\other.exe " + tail));
    ASSERT_TRUE(SetValue(kRun, "LongExpanded", "%SystemDrive%\\Temp\\wormx.exe " + tail, REG_EXPAND_SZ));
    // The name of the file only after the first 264 bytes.
    ASSERT_TRUE(SetValue(kRunServices, "LateName", std::string(300, ' ') + "wormx.exe"));
    KeySnapshot run = SnapshotKey(kRun), services = SnapshotKey(kRunServices);
    Infected("C:\\Temp\\wormx.exe");

    Clean("W32/Vorlex.Ih.Worm");

    EXPECT_EQ(SnapshotKey(kRun), Without(run, {"LongWorm", "LongExpanded"}));
    EXPECT_EQ(SnapshotKey(kRunServices), services);  // bare, but not in a system folder
    EXPECT_EQ(host.lines, Lines(2, kWalkLine));
}

TEST_F(AutorunClean, LateNameInLongBareDataGoesFromSystem32) {
    ASSERT_TRUE(SetValue(kRun, "LateName", std::string(300, ' ') + "wormx.exe"));
    KeySnapshot run = SnapshotKey(kRun);
    Infected("C:\\Windows\\System32\\wormx.exe");
    Clean("W32/Vorlex.Ih.Worm");
    EXPECT_EQ(SnapshotKey(kRun), Without(run, {"LateName"}));
}

TEST_F(AutorunClean, OverlongValueNameIsNeverRememberedCut) {
    const std::string longName = std::string(130, 'n') + "Worm";
    const std::string cut = longName.substr(0, 127);
    ASSERT_TRUE(SetValue(kRun, longName, "C:\\Temp\\wormx.exe"));
    ASSERT_TRUE(SetValue(kRunServices, cut, "C:\\Tools\\innocent.exe"));
    ASSERT_TRUE(SetValue(kUninstall, cut, "innocent"));
    Infected("C:\\Temp\\wormx.exe");
    Clean("W32/Vorlex.Ih.Worm");
    EXPECT_FALSE(HasValue(kRun, longName));
    EXPECT_STREQ(Session.WormValueName, "");

    KeySnapshot services = SnapshotKey(kRunServices), uninstall = SnapshotKey(kUninstall);
    Infected("C:\\Temp\\second.exe");
    Clean("W32/Vorlex.Ih.Worm");
    EXPECT_EQ(SnapshotKey(kRunServices), services);
    EXPECT_EQ(SnapshotKey(kUninstall), uninstall);
    EXPECT_EQ(host.lines, Lines(1, kWalkLine));
}

TEST_F(AutorunClean, NothingIsWalkedWithoutAnInfectedPath) {
    ASSERT_TRUE(SetValue(kRun, "Worm", "wormx.exe"));
    KeySnapshot run = SnapshotKey(kRun);
    Clean("W32/Vorlex.Ih.Worm");
    EXPECT_EQ(SnapshotKey(kRun), run);
    EXPECT_TRUE(host.lines.empty());
}

TEST_F(AutorunClean, ValuesGoSilentlyWithoutAHost) {
    ASSERT_TRUE(SetValue(kRun, "Worm", "C:\\Temp\\wormx.exe"));
    KeySnapshot run = SnapshotKey(kRun);
    Infected("C:\\Temp\\wormx.exe");
    Session.host = nullptr;
    Clean("W32/Vorlex.Ih.Worm");
    Session.host = &host;
    EXPECT_EQ(SnapshotKey(kRun), Without(run, {"Worm"}));
    EXPECT_TRUE(host.lines.empty());
}

TEST_F(AutorunClean, UninstallEntryAndCompanionValueGo) {
    ASSERT_TRUE(SetValue(kUninstall, "UninstallString", "C:\\WINDOWS\\rhcjg7j0e38v\\uninstall.exe /remove"));
    ASSERT_TRUE(SetValue(kUninstall, "DisplayName", "Helper"));
    ASSERT_TRUE(SetValue(kRun, "SMrhcjg7j0e38v", "C:\\WINDOWS\\rhcjg7j0e38v.exe -start"));
    KeySnapshot run = SnapshotKey(kRun), uninstall = SnapshotKey(kUninstall), other = SnapshotKey(kOtherUninstall);

    EXPECT_EQ(CleanUninstallEntry(), 1);

    EXPECT_EQ(SnapshotKey(kUninstall), Without(uninstall, {"UninstallString"}));
    EXPECT_EQ(SnapshotKey(kRun), Without(run, {"SMrhcjg7j0e38v"}));
    EXPECT_EQ(SnapshotKey(kOtherUninstall), other);
    EXPECT_TRUE(host.lines.empty());
}

TEST_F(AutorunClean, UninstallStringWithoutTheMarkStaysButTheCompanionIsExamined) {
    ASSERT_TRUE(SetValue(kUninstall, "UninstallString", "C:\\WINDOWS\\rhcjg7j0e38v\\UNINSTALL.EXE"));
    ASSERT_TRUE(SetValue(kRun, "SMrhcjg7j0e38v", "C:\\WINDOWS\\rhcjg7j0e38v.exe"));
    KeySnapshot run = SnapshotKey(kRun), uninstall = SnapshotKey(kUninstall);

    EXPECT_EQ(CleanUninstallEntry(), 1);

    EXPECT_EQ(SnapshotKey(kUninstall), uninstall);
    EXPECT_EQ(SnapshotKey(kRun), Without(run, {"SMrhcjg7j0e38v"}));
}

TEST_F(AutorunClean, CompanionValueWithoutTheMarkStays) {
    ASSERT_TRUE(SetValue(kUninstall, "UninstallString", "uninstall.exe"));
    ASSERT_TRUE(SetValue(kRun, "SMrhcjg7j0e38v", "C:\\WINDOWS\\RHCJG7J0E38V.EXE"));
    KeySnapshot run = SnapshotKey(kRun);
    EXPECT_EQ(CleanUninstallEntry(), 1);
    EXPECT_EQ(SnapshotKey(kRun), run);
    EXPECT_FALSE(HasValue(kUninstall, "UninstallString"));
}

TEST_F(AutorunClean, CompanionValueIsLeftWhenTheUninstallEntryIsMissing) {
    ASSERT_TRUE(SetValue(kRun, "SMrhcjg7j0e38v", "C:\\WINDOWS\\rhcjg7j0e38v.exe"));
    KeySnapshot run = SnapshotKey(kRun);
    EXPECT_EQ(CleanUninstallEntry(), 0);
    EXPECT_EQ(SnapshotKey(kRun), run);

    // The key without its UninstallString value is no better.
    ASSERT_TRUE(SetValue(kUninstall, "DisplayName", "Helper"));
    EXPECT_EQ(CleanUninstallEntry(), 0);
    EXPECT_EQ(SnapshotKey(kRun), run);
}

TEST_F(AutorunClean, LongUninstallDataIsReadWhole) {
    const std::string folder = "C:\\" + std::string(150, 'd');
    ASSERT_TRUE(SetValue(kUninstall, "UninstallString", folder + "\\uninstall.exe"));
    ASSERT_TRUE(SetValue(kRun, "SMrhcjg7j0e38v", folder + "\\rhcjg7j0e38v.exe " + std::string(200, 'p')));
    KeySnapshot run = SnapshotKey(kRun), uninstall = SnapshotKey(kUninstall);

    EXPECT_EQ(CleanUninstallEntry(), 1);

    EXPECT_EQ(SnapshotKey(kUninstall), Without(uninstall, {"UninstallString"}));
    EXPECT_EQ(SnapshotKey(kRun), Without(run, {"SMrhcjg7j0e38v"}));
}
