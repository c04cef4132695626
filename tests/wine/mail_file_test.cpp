// The hosts file handed to the mail-file checker: a uuencoded worm body goes, a usual hosts file stays.
#include "clean_fixture.h"

#include "disinfect/autorun_and_hosts.h"
#include "disinfect/mail_file_checker.h"
#include "core/mail_scan.h"

namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\rhcjg7j0e38v";
const char kUsualHosts[] = "# hosts\r\n127.0.0.1       localhost\r\n::1             localhost\r\n";

std::string PlainSignature() {
    return std::string(reinterpret_cast<const char*>(MailSignaturePlain(0)), kMailSignatureTable[0].length);
}

// A uuencoded mail attachment whose body carries the signature, broken over lines and blanks.
std::string InfectedMailFile(const char* header = "begin 644 hosts") {
    std::string sig = PlainSignature();
    std::string body = std::string(header) + "\r\n";
    body += "M5&AI<R!I<R!N;W0@82!R96%L(&%T=&%C:&UE;G0@8G5T(&ET(&QO;VMS(&QI\r\n";
    body += "M" + sig.substr(0, 40) + "\r\n";
    body += " " + sig.substr(40, 30) + " \t\r\n";
    body += sig.substr(70) + "\r\n`\r\nend\r\n";
    return body;
}

class MailFileTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        hosts = SystemFolder() + "\\drivers\\etc\\hosts";
    }
    std::string RemovedLine() const { return hosts + "     W32/Nyxem.Worm removed"; }
    std::string hosts;
};

class MailFileOnWin98 : public MailFileTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        hosts = WindowsFolder() + "\\hosts";
    }
};

}  // namespace

TEST_F(MailFileTest, InfectedHostsFileIsRemovedWithItsLine) {
    ASSERT_TRUE(WriteText(hosts, InfectedMailFile()));
    EXPECT_EQ(CleanAutorunAndHosts("W32/Vorlex.Ih.Worm", nullptr), 1);
    EXPECT_FALSE(FileExists(hosts));
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0], RemovedLine());
    EXPECT_EQ(Session.ScanCounters.filesInfected, 1);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 1);
    EXPECT_EQ(std::string(Session.StatusText), hosts);
}

TEST_F(MailFileTest, UsualHostsFileIsLeftByteForByte) {
    ASSERT_TRUE(WriteText(hosts, kUsualHosts));
    EXPECT_EQ(CleanAutorunAndHosts("W32/Vorlex.Ih.Worm", nullptr), 1);
    EXPECT_EQ(ReadText(hosts), kUsualHosts);
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(Session.ScanCounters.filesInfected, 0);
}

TEST_F(MailFileTest, UuencodedFileWithoutTheSignatureIsLeft) {
    std::string clean = "begin 644 hosts\r\nM5&AI<R!I<R!N;W0@82!R96%L(&%T=&%C:&UE;G0@8G5T(&ET(&QO;VMS(&QI\r\n`\r\nend\r\n";
    ASSERT_TRUE(WriteText(hosts, clean));
    EXPECT_EQ(MailFileChecker("W32/Vorlex.Trojan ", hosts.c_str()), 0);
    EXPECT_EQ(ReadText(hosts), clean);
    EXPECT_TRUE(host.lines.empty());
}

TEST_F(MailFileTest, CapitalBeginPassesTheHeaderTest) {
    ASSERT_TRUE(WriteText(hosts, InfectedMailFile("BEGIN 644 HOSTS")));
    EXPECT_EQ(MailFileChecker("W32/Vorlex.Trojan ", hosts.c_str()), 1);
    EXPECT_FALSE(FileExists(hosts));
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0], RemovedLine());
}

TEST_F(MailFileTest, LongMailFileIsJudgedByItsHead) {
    std::string file = InfectedMailFile();
    for (int i = 0; i < 400; ++i) file += "M5&AI<R!I<R!N;W0@82!R96%L(&%T=&%C:&UE;G0@8G5T(&ET(&QO;VMS(&QI\r\n";
    ASSERT_TRUE(WriteText(hosts, file));
    EXPECT_EQ(MailFileChecker("W32/Vorlex.Trojan ", hosts.c_str()), 1);
    EXPECT_FALSE(FileExists(hosts));
}

TEST_F(MailFileTest, HeldFileIsCountedAndReportedAsRemoveFailed) {
    ASSERT_TRUE(WriteText(hosts, InfectedMailFile()));
    HeldFile held(hosts);
    ASSERT_TRUE(held.held());
    EXPECT_EQ(MailFileChecker("W32/Vorlex.Trojan ", hosts.c_str()), 1);
    EXPECT_TRUE(FileExists(hosts));
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0], hosts + "     W32/Nyxem.Worm Remove failed");
    EXPECT_EQ(Session.ScanCounters.filesInfected, 1);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 0);
}

TEST_F(MailFileTest, RemovalCleansTheUninstallEntry) {
    ASSERT_TRUE(SetValue(kUninstallKey, "UninstallString", "C:\\rh\\uninstall.exe /x"));
    ASSERT_TRUE(WriteText(hosts, InfectedMailFile()));
    EXPECT_EQ(MailFileChecker("W32/Vorlex.Trojan ", hosts.c_str()), 1);
    EXPECT_FALSE(HasValue(kUninstallKey, "UninstallString"));
}

TEST_F(MailFileTest, OtherActionsRenameOrLeaveTheFile) {
    const std::string path = "C:\\mail\\attach.uue";
    ASSERT_TRUE(WriteText(path, InfectedMailFile()));
    Session.RemovalAction = kActionRename;
    EXPECT_EQ(MailFileChecker("W32/Vorlex.Trojan ", path.c_str()), 1);
    EXPECT_TRUE(FileExists("C:\\mail\\attach.Vue"));
    EXPECT_FALSE(FileExists(path));

    ASSERT_TRUE(WriteText(path, InfectedMailFile()));
    Session.RemovalAction = kActionLeave;
    EXPECT_EQ(MailFileChecker("W32/Vorlex.Trojan ", path.c_str()), 1);
    EXPECT_TRUE(FileExists(path));
    ASSERT_EQ(host.lines.size(), 2u);
    EXPECT_EQ(host.lines[0], path + "     W32/Nyxem.Worm renamed");
    EXPECT_EQ(host.lines[1], path + "     W32/Nyxem.Worm Not Disinfected As Per User's Selection");
    EXPECT_EQ(Session.ScanCounters.filesInfected, 2);
    EXPECT_EQ(Session.ScanCounters.filesRemoved, 0);
}

TEST_F(MailFileOnWin98, HostsInTheWindowsFolderIsChecked) {
    const std::string ntHosts = SystemFolder() + "\\drivers\\etc\\hosts";
    ASSERT_TRUE(WriteText(hosts, InfectedMailFile()));
    ASSERT_TRUE(WriteText(ntHosts, InfectedMailFile()));
    EXPECT_EQ(CleanAutorunAndHosts("W32/Vorlex.Ih.Worm", nullptr), 1);
    EXPECT_FALSE(FileExists(hosts));
    EXPECT_TRUE(FileExists(ntHosts));
    ASSERT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.lines[0], RemovedLine());
}
