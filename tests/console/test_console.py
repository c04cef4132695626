"""PurgixCmd on the scenario machines: its exit code read on the Windows side (a batch file echoes
%errorlevel%), its reports held against the schema and against the machine, and the machine read
back from Linux before and after."""
import json
import os
import re
import signal
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
for folder in (os.path.join(HERE, "..", "support"), os.path.join(HERE, "..", "gui")):
    sys.path.insert(0, folder)
import jsonschema  # noqa: E402

import drive_checks  # noqa: E402
import scenario_machine as sm  # noqa: E402
from gui_session import MAIN_TITLE, GuiSession  # noqa: E402
from test_infected_machine import InfectedMachineScenario, write_bulk  # noqa: E402

SCHEMA = os.path.join(HERE, "..", "..", "docs", "purgix-report.schema.json")
# G: is a network drive, which no scan walks: the batch file and the reports live there, outside
# the drives the manifests compare.
DRIVES = {"d": "cdrom", "e": "hd", "f": "floppy", "g": "network"}
RUNNER = "G:\\run_purgixcmd.bat"
REPORTS = "G:\\reports"
JSON_REPORT = REPORTS + "\\run.json"
LOG = REPORTS + "\\run.log"
EXIT_MARK = "purgixcmd-exit="
MAIN = MAIN_TITLE + "@1055"  # the window program's main window, not PurgixCmd's hidden mark
STATISTICS = re.compile(r"^( |Scanning statistics|-{30}|Total files (scanned|infected|removed)\t\t:  -?\d+)$")
HOSTS_LINE_NAME = sm.MAIL_NAME
# A folder whose name the ANSI code page (1252 in every prefix) spells outside ASCII: the JSON must
# carry it in UTF-8, written by the program itself.
ACCENTED = sm.Sample("C:\\users\\Public\\Caf\u00e9 M\u00fcller\\vx\u00e9.exe", 24)


class CmdRun:
    """One run of PurgixCmd through the batch file: the exit code cmd saw, its output and error."""

    def __init__(self, code, lines, errors):
        self.code = code
        self.lines = lines      # standard output, line by line, without the batch's exit mark
        self.errors = errors    # standard error, as text


class ConsoleScenario(InfectedMachineScenario):
    """The infected machines of the window's scenarios, cleaned or only looked at by PurgixCmd."""
    maxDiff = None

    # -- running the program -------------------------------------------------------------------
    def session(self, tag, version):
        s = GuiSession("console_" + tag, version=version, drives=DRIVES)
        return s

    def write_runner(self, s):
        os.makedirs(s.c_path(REPORTS), exist_ok=True)
        with open(s.c_path(RUNNER), "w", newline="") as f:
            f.write("@echo off\r\nT:\\bin\\PurgixCmd.exe %*\r\necho " + EXIT_MARK + "%errorlevel%\r\n")

    def start_cmd(self, s, args, out, err, winedebug=None):
        """PurgixCmd through the batch file, its output into files (a pipe handed through Wine may
        lose what it carried)."""
        return s.prefix.popen(["cmd", "/c", RUNNER] + list(args), display=s.xvfb.display, winedebug=winedebug,
                              stdout=out, stderr=err, cwd=s.prefix.drive_folder("c"))

    def finish_cmd(self, proc, out, err, timeout=600):
        proc.wait(timeout=timeout)
        out.seek(0)
        err.seek(0)
        lines = out.read().decode("latin-1").split("\r\n")
        if lines and lines[-1] == "":
            lines.pop()
        code = None
        if lines and lines[-1].startswith(EXIT_MARK):
            code = int(lines.pop()[len(EXIT_MARK):])
        return CmdRun(code, lines, err.read().decode("latin-1"))

    def run_cmd(self, s, *args, winedebug=None):
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            return self.finish_cmd(self.start_cmd(s, args, out, err, winedebug), out, err)

    def report(self, s, exit_code, mode, complete):
        """The JSON report, checked against the schema and against what the run says of itself."""
        with open(s.c_path(JSON_REPORT), encoding="utf-8") as f:
            report = json.load(f)
        with open(SCHEMA, encoding="utf-8") as f:
            jsonschema.validate(report, json.load(f))
        self.assertEqual((report["exitCode"], report["mode"], report["complete"]), (exit_code, mode, complete))
        return report

    def log_record(self, s):
        with open(s.c_path(LOG), "rb") as f:
            return f.read().decode("latin-1")

    def check_lines_and_log(self, run, report, s, exit_code):
        """Standard output is the result list: the findings' lines in order, then the statistics;
        the log holds the same lines and the exit code."""
        findings = [line for line in run.lines if not STATISTICS.match(line)]
        self.assertEqual([f["line"] for f in report["findings"]], findings)
        counts = report["counts"]
        self.assertEqual(run.lines[len(findings):], sm.statistics(counts["scanned"], counts["infected"],
                                                                  counts["removed"]))
        log = self.log_record(s)
        # The log also keeps the notices, each where it came.
        lines = [line for line in log.split("\r\n") if not line.endswith(": Could not kill process")]
        self.assertIn("\r\n".join(run.lines) + "\r\n", "\r\n".join(lines))
        self.assertTrue(log.endswith("Exit code: %d\r\n\r\n" % exit_code), log[-200:])

    # -- what a scan must have found -----------------------------------------------------------
    def file_findings(self, report):
        return {f["object"]: f for f in report["findings"] if not f["object"].startswith("System ")}

    def memory_findings(self, report):
        return [f for f in report["findings"] if f["object"] == "System Memory"]

    def still_running(self, s, planted):
        for path, pids in list(planted.running_before.items()) + list(planted.bystanders.items()):
            self.assertEqual(sm.running_programs(s, path), pids, "%s should run on, untouched" % path)
        for path, pids in planted.locker.items():
            self.assertEqual(sm.running_programs(s, "locker.exe " + path), pids)

    # -- the scenarios -------------------------------------------------------------------------
    def detect_scenario(self, version):
        """/detect on the whole infected machine: every worm reported, nothing changed at all."""
        with self.session("detect_" + version, version) as s:
            m = sm.Machine(version)
            sm.wait_booted(s)
            # Planted under an ASCII name and renamed from Linux, whose UTF-8 names Wine reads whole.
            ascii_path = ACCENTED.path.encode("ascii", "replace").decode().replace("?", "_")
            sm.run_setup(s, [("sample", ascii_path, str(ACCENTED.index))])
            os.renames(s.c_path(ascii_path), s.c_path(ACCENTED.path))
            planted = self.plant(s, m)
            self.write_runner(s)

            run = self.run_cmd(s, "/detect", "/json:" + JSON_REPORT, "/LOG:" + LOG)

            self.assertEqual(run.code, 1, run.errors)
            report = self.report(s, 1, "detect", True)
            self.check_lines_and_log(run, report, s, 1)
            # Every infected file on a fixed drive, the running ones too, and the hosts file.
            files = self.file_findings(report)
            expected = {x.path: x.name for x in m.samples + [ACCENTED]}
            expected[m.hosts] = HOSTS_LINE_NAME
            self.assertEqual(sorted(files), sorted(expected))
            for path, name in expected.items():
                self.assertEqual((files[path]["detection"], files[path]["outcome"]), (name, "found"), path)
            # Each running worm by its executable, where the memory step sees them.
            memory = sorted(f["line"] for f in self.memory_findings(report))
            if self.memory_step_finds_running(m):
                self.assertEqual(memory, sorted("System Memory     %s running from %s" % (x.name, x.path)
                                                for x in m.running()))
            else:
                self.assertEqual(memory, [])
            self.assertEqual(report["counts"], {"scanned": planted.files_on_fixed_drives,
                                                "infected": len(m.samples) + 2, "removed": 0})
            self.assertFalse(report["restartPending"])

            # Nothing changed: files, values, processes, restart work.
            self.assertEqual(drive_checks.manifest_difference(planted.before, drive_checks.manifest(s)), [])
            self.assertEqual(sm.registry_snapshot(s), planted.registry_before)
            self.still_running(s, planted)
            self.assertEqual(sm.pending_deletions(s), [])

    def clean_scenario(self, version):
        """The whole scan without a switch: the report tells what became of every file, and the
        held file waits for the restart (3010)."""
        with self.session("clean_" + version, version) as s:
            m = sm.Machine(version)
            sm.wait_booted(s)
            planted = self.plant(s, m)
            self.write_runner(s)

            run = self.run_cmd(s, "/json:" + JSON_REPORT, "-log:" + LOG)

            self.assertEqual(run.code, 3010, run.errors)
            report = self.report(s, 3010, "clean", True)
            self.check_lines_and_log(run, report, s, 3010)
            scanned = planted.files_on_fixed_drives - 1
            if self.memory_step_finds_running(m):
                scanned -= len(m.running())
            self.assertReport(m, run.lines, scanned)
            self.assertTrue(report["restartPending"])
            # The notices the window shows in boxes go to standard error (NT 5.x reports none).
            for path in planted.held:
                self.assertEqual(path + ": Could not kill process" in run.errors, version != "winxp", run.errors)

            # What the report says became of each file is what became of it.
            files = self.file_findings(report)
            self.assertEqual(sorted(files), sorted([x.path for x in m.samples] + [m.hosts]))
            after = drive_checks.manifest(s)
            for path, finding in files.items():
                self.assertIn(finding["outcome"], ("removed", "scheduled"), path)
                self.assertEqual(path in after, finding["outcome"] == "scheduled", path)
            self.assertEqual(sorted(p for p, f in files.items() if f["outcome"] == "scheduled"), sorted(planted.held))
            if m.nine_x:
                self.assertEqual(sm.pending_deletions(s), [])
            else:
                self.assertEqual(sm.pending_deletions(s), [["\\??\\" + p, ""] for p in planted.held])
            registry = [f for f in report["findings"] if f["object"] == "System Registry"]
            self.assertEqual(len(registry), run.lines.count(sm.REGISTRY_LINE))
            self.assertTrue(registry and all(f["outcome"] == "removed" for f in registry))

            self.check_machine(s, m, planted.before, planted.registry_before, planted.rename_list, restarted=False)
            s.prefix.stop()  # ends the locker, as a shutdown would
            s.prefix.restart()
            self.check_machine(s, m, planted.before, planted.registry_before, planted.rename_list, restarted=True)

    def restart_scenario(self, version):
        """/restart:now after a removal that waits for it: the reports are written first, with 1641."""
        with self.session("restart_" + version, version) as s:
            m = sm.Machine(version)
            sm.wait_booted(s)
            planted = self.plant(s, m)
            self.write_runner(s)
            # Wine's InitiateSystemShutdownA only says that it was called; its trace shows with what.
            with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
                proc = self.start_cmd(s, ["/restart:now", "/json:" + JSON_REPORT, "/log:" + LOG, "/quiet"], out, err,
                                      winedebug="-all,fixme+advapi")
                run = self.finish_cmd(proc, out, err)
            report = self.report(s, 1641, "clean", True)
            self.assertTrue(report["restartPending"])
            self.assertTrue(self.log_record(s).endswith("Exit code: 1641\r\n\r\n"))
            self.assertEqual(sorted(f["object"] for f in report["findings"] if f["outcome"] == "scheduled"),
                             sorted(planted.held))
            if m.nine_x:
                # The 9x line restarts at once: every program of the machine ends within a moment,
                # the batch may or may not get to echo the code first, and the restart carries out
                # the rename list.
                self.assertIn(run.code, (None, 1641), run.errors)
                s.wait_for(lambda: not sm.running_programs(s, "locker.exe"), timeout=120, what="the locker to end")
                s.wait_for(lambda: not sm.running_programs(s, "wineboot"), timeout=120, what="the restart to finish")
            else:
                # A delayed restart: the program ends first, with its own code, and standard output
                # stays quiet. The shutdown asked for forces programs closed and restarts after 10 s.
                self.assertEqual(run.code, 1641, run.errors)
                self.assertEqual(run.lines, [])
                self.assertRegex(run.errors, r"InitiateSystemShutdownExA \(null\) \"[^\"]+\" 10 1 1 ")
                s.prefix.stop()
                s.prefix.restart()
            for path in planted.held:
                s.wait_for(lambda: not os.path.exists(s.c_path(path)), timeout=60, what="%s to be deleted" % path)
            self.check_machine(s, m, planted.before, planted.registry_before, planted.rename_list, restarted=True)

    def small_machine(self, s, m):
        """One sample with its autorun value, a running worm and an infected hosts file."""
        commands = [("sample", "C:\\Apps\\vx.exe", "5"), ("runnable", m.worm_tray.path, "purgix_sleeper"),
                    ("hosts", m.hosts), ("reg", sm.RUN, "Vx", "sz", "C:\\Apps\\vx.exe -q"),
                    ("start", '"%s"' % m.worm_tray.path)]
        sm.run_setup(s, commands)
        self.assertTrue(sm.running_programs(s, m.worm_tray.path))
        return drive_checks.manifest(s), sm.registry_snapshot(s), sm.running_programs(s, m.worm_tray.path)

    def bad_command_line_scenario(self, version):
        """Every bad command line and a report that cannot be written: 2, a message, nothing changed."""
        with self.session("bad_switches_" + version, version) as s:
            m = sm.Machine(version)
            sm.wait_booted(s)
            before, registry_before, worm = self.small_machine(s, m)
            self.write_runner(s)
            bad = [["/bogus"], ["scan"], ["/detect:yes"], ["/detect", "-DETECT"], ["/restart:later", "/log:" + LOG],
                   ["/log:" + LOG, "/json:" + LOG.lower()], ["/json:"],
                   # The log can be written, the JSON cannot: the log made for the run goes again.
                   ["/log:" + LOG, "/json:G:\\missing\\run.json"]]
            for args in bad:
                run = self.run_cmd(s, *args)
                self.assertEqual(run.code, 2, args)
                self.assertEqual(run.lines, [], args)
                self.assertIn("PurgixCmd: ", run.errors, args)
                self.assertEqual(os.listdir(s.c_path(REPORTS)), [], args)
            run = self.run_cmd(s, "-?")
            self.assertEqual(run.code, 0)
            self.assertIn("/detect", "\n".join(run.lines))
            self.assertEqual(drive_checks.manifest_difference(before, drive_checks.manifest(s)), [])
            self.assertEqual(sm.registry_snapshot(s), registry_before)
            self.assertEqual(sm.running_programs(s, m.worm_tray.path), worm)
            self.assertEqual(sm.pending_deletions(s), [])


class ConsoleTest(ConsoleScenario):
    # The x64 exe on the NT line.
    def test_detect_reports_every_worm_and_changes_nothing_win7(self):
        self.detect_scenario("win7")

    def test_clean_run_report_matches_the_machine_win7(self):
        self.clean_scenario("win7")

    def test_restart_now_after_the_reports_winxp(self):
        self.restart_scenario("winxp")

    def test_bad_command_lines_change_nothing_win7(self):
        self.bad_command_line_scenario("win7")

    def test_cancel_and_one_purgix_at_a_time_win7(self):
        first = sm.Sample("C:\\aaa_early\\first.exe", 6)
        late = [sm.Sample("C:\\aaa_early\\zz_after\\late1.exe", 7), sm.Sample("E:\\late2.exe", 8)]
        bulk = "C:\\aaa_early\\bulk"
        with self.session("cancel_win7", "win7") as s:
            sm.wait_booted(s)
            write_bulk(s, bulk, 40000)
            sm.run_setup(s, [("sample", x.path, str(x.index)) for x in [first] + late] +
                         [("reg", sm.RUN, "First", "sz", '"%s" /s' % first.path)])
            self.write_runner(s)
            before = drive_checks.manifest(s)
            registry_before = sm.registry_snapshot(s)

            # Beside the window program PurgixCmd refuses to start, and changes nothing.
            window = s.start_purgix()
            s.wait_window(MAIN)
            run = self.run_cmd(s, "/json:" + JSON_REPORT)
            self.assertEqual(run.code, 2)
            self.assertIn("another copy of Purgix is running", run.errors)
            self.assertEqual(os.listdir(s.c_path(REPORTS)), [])
            s.auto("key", MAIN, 27)  # idle: Escape closes the window
            self.assertEqual(window.wait(timeout=60), 0)

            with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
                proc = self.start_cmd(s, ["/json:" + JSON_REPORT, "/log:" + LOG], out, err)

                def reached_first():
                    out.seek(0)
                    return sm.removed(first.path, first.name).encode() in out.read()
                s.wait_for(reached_first, timeout=120, what="the first finding")
                # Held where it stands (the walk would otherwise be through the bulk folder before
                # the checks below are done); its mark stays.
                pids = sm.running_programs(s, "PurgixCmd.exe")
                self.assertEqual(len(pids), 1)
                os.kill(pids[0], signal.SIGSTOP)
                # While it runs the window program does not start: its mark is there.
                blocked = s.start_purgix()
                self.assertEqual(blocked.wait(timeout=60), 0)
                self.assertEqual(s.auto("exists", MAIN), "0")
                # Ctrl+C (Wine turns SIGINT into the console's Ctrl+C event), waiting for it when
                # the program goes on.
                os.kill(pids[0], signal.SIGINT)
                os.kill(pids[0], signal.SIGCONT)
                run = self.finish_cmd(proc, out, err)

            self.assertEqual(run.code, 3, run.errors)
            report = self.report(s, 3, "clean", False)
            self.check_lines_and_log(run, report, s, 3)
            self.assertEqual([(f["object"], f["outcome"]) for f in report["findings"]],
                             [("System Registry", "removed"), (first.path, "removed")])
            self.assertLess(report["counts"]["scanned"], 40000 + 1, "the walk should have stopped in the bulk folder")
            after = drive_checks.manifest(s)
            self.assertEqual(drive_checks.manifest_difference(before, after), ["removed " + first.path])
            self.assertEqual(sm.registry_snapshot(s)[1], registry_before[1])
            self.assertNotIn((sm.RUN.upper(), "FIRST"), sm.registry_snapshot(s)[0])
            # The mark went with the program: the window program starts again.
            window = s.start_purgix()
            s.wait_window(MAIN)
            s.auto("key", MAIN, 27)
            self.assertEqual(window.wait(timeout=60), 0)


class ConsoleTestX86(ConsoleScenario):
    # The x86 exe on the 9x line and NT 4.
    def test_detect_reports_every_worm_and_changes_nothing_win98(self):
        self.detect_scenario("win98")

    def test_clean_run_report_matches_the_machine_nt40(self):
        self.clean_scenario("nt40")

    def test_restart_now_after_the_reports_win98(self):
        self.restart_scenario("win98")

    def test_bad_command_lines_change_nothing_win98(self):
        self.bad_command_line_scenario("win98")


if __name__ == "__main__":
    unittest.main()
