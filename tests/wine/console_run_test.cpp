// An unattended run whose memory step met a worm that keeps running: its file waits for the restart,
// and the reports say that the drives were not walked. Wine ends every process it is asked to, so
// no real worm keeps running here: the scan stands in only for the memory step's failed attempt,
// and hands the worm to the engine's own handling of one that runs on.
#include "clean_fixture.h"

#include "console/unattended_run.h"
#include "core/report.h"
#include "core/text.h"
#include "remove/removal_action.h"
#include "scan/memory_scan.h"
#include "scan/scan_driver.h"

namespace {

class ConsoleRunOnWin7 : public EngineTest {};
class ConsoleRunOnWin98 : public EngineTest {};

const char kJson[] = "C:\\reports\\run.json";
const char kLog[] = "C:\\reports\\run.log";
char runningWorm[MAX_PATH];

ScanOutcome WormKeepsRunning(const ScanOptions& options, ScanHost& host) {
    ApplyScanOptions(options, host);
    ReportWormThatRunsOn(RunningWorm{NamedFile{runningWorm, nullptr}, 0});  // record 0: W32/Vorlex.Ih.Worm
    return ScanOutcome{ScanEnd::kWormKeepsRunning, Session.RestartNeeded != 0, true};
}

int32_t RunAfterARunningWorm(const std::string& worm) {
    CopyText(runningWorm, sizeof runningWorm, worm.c_str());
    EXPECT_TRUE(MakeFolders("C:\\reports"));
    ConsoleOptions options = {};
    CopyText(options.jsonPath, sizeof options.jsonPath, kJson);
    CopyText(options.logPath, sizeof options.logPath, kLog);
    return RunUnattended(options, WormKeepsRunning);
}

void ExpectInReport(const std::string& report, const std::string& piece) {
    EXPECT_NE(report.find(piece), std::string::npos) << piece << "\nin\n" << report;
}

// The worm's file is held by a running program, as the worm holds it, until the restart.
void ExpectRemovedAtTheRestart(const std::string& worm) {
    ASSERT_TRUE(WriteText(worm, "worm body"));
    HeldFile held(worm);
    ASSERT_TRUE(held.held());
    EXPECT_EQ(RunAfterARunningWorm(worm), 3010);

    const std::string json = ReadText(kJson);
    ExpectInReport(json, "\"complete\": false");
    ExpectInReport(json, "\"exitCode\": 3010");
    ExpectInReport(json, "\"restartPending\": true");
    std::string escaped;
    for (char c : worm) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    ExpectInReport(json, "{\"object\": \"" + escaped + "\", \"detection\": \"W32/Vorlex.Ih.Worm\", \"outcome\": \"scheduled\"");
    const std::string log = ReadText(kLog);
    ExpectInReport(log, worm + "     W32/Vorlex.Ih.Worm Unable to remove\r\n");
    ExpectInReport(log, "Complete:  no\r\nRestart:   a removal waits for it\r\nExit code: 3010\r\n");

    EXPECT_TRUE(FileExists(worm));
    held.Release();
    ASSERT_TRUE(RestartMachine());
    EXPECT_FALSE(FileExists(worm));
}

// A worm found on a path so long that its line is cut at the engine's line buffer.
ScanOutcome FindsAWormDeepDown(const ScanOptions& options, ScanHost& host) {
    ApplyScanOptions(options, host);
    const std::string deep = "C:\\" + std::string(470, 'd') + "\\vx.exe";
    WriteReportLine("%s     W32/Vorlex.Ih.Worm %s", deep.c_str(), kExecutableRemoval.leftWord);
    return ScanOutcome{ScanEnd::kCompleted, false, false};
}

}  // namespace

TEST_F(ConsoleRunOnWin7, AFindingWhoseLineWasCutStillMakesTheRunReportAWorm) {
    ConsoleOptions options = {};
    options.detectOnly = true;
    EXPECT_EQ(RunUnattended(options, FindsAWormDeepDown), 1);
}

TEST_F(ConsoleRunOnWin7, WormThatKeepsRunningIsRemovedAtTheRestart) {
    ExpectRemovedAtTheRestart("C:\\windows\\system32\\vxsvc32.exe");
}

TEST_F(ConsoleRunOnWin98, WormThatKeepsRunningIsRemovedAtTheRestartThroughTheRenameList) {
    ExpectRemovedAtTheRestart("C:\\Program Files\\Vx\\vxtray.exe");
}

TEST_F(ConsoleRunOnWin98, WormWhoseRemovalCannotBeScheduledLeavesItInfected) {
    // The 9x line's list takes short names only, and a file that is not there has none.
    const std::string worm = "C:\\gone\\vxtray.exe";
    EXPECT_EQ(RunAfterARunningWorm(worm), 1);
    const std::string json = ReadText(kJson);
    ExpectInReport(json, "\"outcome\": \"failed\"");
    ExpectInReport(json, "\"exitCode\": 1");
    ExpectInReport(json, "\"restartPending\": false");
    EXPECT_FALSE(FileExists(WindowsFolder() + "\\wininit.ini"));
}
