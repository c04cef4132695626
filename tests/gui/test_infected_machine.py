"""Whole scans of infected machines on each Windows line, answered through the window and checked from Linux."""
import itertools
import os
import shutil
import time
import unittest

from gui_session import GuiSession, MAIN_TITLE, unescape
import drive_checks
import scenario_machine as sm
import winebox

MAIN = MAIN_TITLE + "@1055"       # the main window, never a dialog that shares its title
QUESTION = MAIN_TITLE + "@1086"   # the skinned message dialog under the product title
SCAN, CANCEL, OK_BUTTON, STATUS, RESULT_LIST = 1052, 2, 1070, 1065, 1055
YES, NO = 6, 7
BOX_TEXT, BOX_OK = 0xFFFF, 1      # a plain system message box: its text and its OK button
BULK = "E:\\zz_bulk"              # clean files walked last, so the scan is still running when asked to stop
BULK_FILES = 10000
FINAL = ("Scanning completed", "Scanning terminated")
# Purgix is run from a stick, beside a DLL named like a system library (the download folder or the
# worm itself may put one there); the DLL leaves this mark if it is ever loaded.
STICK_PROGRAM = "F:\\Purgix.exe"
PLANTED_NAME = "psapi.dll"
PLANTED_MARK = "C:\\planted_library_was_loaded.txt"


def write_clean(s, files):
    for path, data in files.items():
        target = s.c_path(path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)


def write_bulk(s, folder, count):
    target = s.c_path(folder)
    os.makedirs(target, exist_ok=True)
    for i in range(count):
        with open(os.path.join(target, "clean_%05d.txt" % i), "wb") as f:
            f.write(b"clean file %d\r\n" % i)


def x86_bin(s):
    """The shipped 32-bit build's programs, beside this tree (both trees live under build/)."""
    return os.path.join(os.path.dirname(s.build), "win32", "bin")


def wait_gone_from_linux(s, path, timeout=60.0):
    s.wait_for(lambda: not os.path.exists(s.c_path(path)), timeout=timeout, what="%s to be deleted" % path)


class ScanRecord:
    """What one scan showed: lines and status when it ended or asked to restart, and the questions."""

    def __init__(self):
        self.lines = None
        self.status = None
        self.boxes = []            # captions of "Could not kill process" boxes, in order
        self.terminate_asked = 0
        self.restart_asked = False
        self.pending_at_question = None
        self.rename_list_at_question = None


class Planted:
    """A planted machine as it was before the scan: running worms and bystanders (path -> process
    ids), lockers, held files and their short forms, the 9x rename list expected after the scan,
    the drives' manifest, the registry and the number of files on the fixed drives."""


class InfectedMachineScenario(unittest.TestCase):
    """The scenarios' machinery, without test cases: other layers run its scenarios on other builds."""
    maxDiff = None
    # The program in the build's bin/ that is copied to the stick and run.
    PURGIX_FILE = "Purgix.exe"
    # Whether the 9x line's tool-help gives full paths here. Wine's gives file names only, so under
    # Wine the 9x memory step finds no running worm and the walk meets their files instead.
    SNAPSHOT_FULL_PATHS = False

    def memory_step_finds_running(self, m):
        return not m.nine_x or self.SNAPSHOT_FULL_PATHS

    def start_purgix(self, s, program):
        return s.start(program)

    # -- expectations drawn from the machine's plan -----------------------------------------
    def expected_lines(self, m, scanned, memory_order):
        """The report: memory findings (where the memory step sees running worms), then every drive
        finding in walk order, then the statistics. The hosts file goes with the first finding, the
        autorun values with their file."""
        registry = {}
        for v in m.autorun:
            if v.removed_by and v.removed_by != "uninstall":
                registry[v.removed_by] = registry.get(v.removed_by, 0) + 1
        hosts = [sm.removed(m.hosts, sm.MAIL_NAME)]
        lines = []
        drive = m.samples
        if self.memory_step_finds_running(m):
            for sample in memory_order:
                lines += [sm.REGISTRY_LINE] * registry.get(sample.path, 0)
                lines += [sm.MEMORY_LINE, sm.removed(sample.path, sm.TABLE_ENTRY_NAME)]
            drive = [x for x in m.samples if not x.runs]
        for sample in sorted(drive, key=lambda x: sm.walk_key(x.path)):
            lines += [sm.REGISTRY_LINE] * registry.get(sample.path, 0)
            lines.append(sm.unable(sample.path, sample.name) if sample.held else sm.removed(sample.path, sample.name))
        lines = hosts + lines
        infected = len(m.samples) + 1
        removed = infected - len(m.held())
        return lines + sm.statistics(scanned, infected, removed)

    def assertReport(self, m, lines, scanned):
        # The processes are met in the order the system lists them, which the plan does not fix.
        candidates = [self.expected_lines(m, scanned, order) for order in itertools.permutations(m.running())]
        if lines not in candidates:
            self.assertEqual(lines, candidates[0])

    # -- driving one scan --------------------------------------------------------------------
    def run_scan(self, s, m, tag, restart_answer, program="Purgix"):
        """Presses Scan and answers every question until the scan is over (or the machine restarts)."""
        record = ScanRecord()
        purgix = self.start_purgix(s, program)
        s.wait_window(MAIN)
        s.auto("click", MAIN, SCAN)
        # The label keeps its template text until the scan shows the first path.
        s.wait_for(lambda: s.text(STATUS, MAIN) not in ("", "Static"), what="the first status text")
        s.screenshot(tag + "_scanning")
        held = {x.path for x in m.held()}
        deadline = time.time() + 480
        while True:
            self.assertLess(time.time(), deadline, "the scan did not end")
            if record.restart_asked and restart_answer == YES:
                break
            self.assertIsNone(purgix.poll(), "Purgix ended during the scan")
            if s.auto("exists", QUESTION) == "1":
                text = unescape(s.text(1086, QUESTION))
                if text == sm.TERMINATE_QUESTION:
                    record.terminate_asked += 1
                    s.screenshot(tag + "_terminate_question")
                    s.auto("click", QUESTION, NO)
                elif text == sm.RESTART_QUESTION:
                    self.assertFalse(record.restart_asked, "the restart is asked once")
                    record.restart_asked = True
                    record.lines = s.lines(RESULT_LIST, MAIN)
                    record.status = unescape(s.text(STATUS, MAIN))
                    record.pending_at_question = sm.pending_deletions(s)
                    wininit = s.c_path("C:\\windows\\wininit.ini")
                    if os.path.exists(wininit):
                        with open(wininit, "rb") as f:
                            record.rename_list_at_question = f.read()
                    s.screenshot(tag + "_restart_question")
                    s.auto("click", QUESTION, restart_answer)
                else:
                    self.fail("unexpected question: %r" % text)
                if not (record.restart_asked and restart_answer == YES):
                    s.auto("wait-gone", QUESTION, 60000)
                continue
            box = next((p for p in held if s.auto("exists", "%s@%d" % (p, BOX_TEXT)) == "1"), None)
            if box:
                self.assertEqual(unescape(s.text(BOX_TEXT, "%s@%d" % (box, BOX_TEXT))), "Could not kill process")
                record.boxes.append(box)
                s.screenshot(tag + "_could_not_kill")
                s.auto("click", "%s@%d" % (box, BOX_TEXT), BOX_OK)
                s.auto("wait-gone", "%s@%d" % (box, BOX_TEXT), 60000)
                continue
            status = unescape(s.text(STATUS, MAIN))
            if record.terminate_asked == 0 and status.startswith(BULK + "\\"):
                s.auto("key", MAIN, 27)  # Escape: "Terminate the Scan now?", answered No above
                s.auto("wait-window", QUESTION, 60000)
                continue
            if status in FINAL and s.state(OK_BUTTON, MAIN) == (True, True):
                record.lines = s.lines(RESULT_LIST, MAIN)
                record.status = status
                s.screenshot(tag + "_finished")
                break
            time.sleep(0.1)
        return purgix, record

    # -- the scenarios -----------------------------------------------------------------------
    def plant(self, s, m, library_bin=None):
        """Builds machine m in session s: clean files, the bulk folder, samples, values, running
        worms, bystanders and held files (and, from library_bin, Purgix and a DLL of a system
        library's name on the stick). Returns what the machine looked like before the scan."""
        p = Planted()
        write_clean(s, m.clean_files)
        write_clean(s, m.system_files())
        write_bulk(s, BULK, BULK_FILES)
        commands = m.setup_commands()
        m.learn_records(commands, sm.run_setup(s, commands))
        p.running_before = {x.path: sm.running_programs(s, x.path) for x in m.running()}
        for path, pids in p.running_before.items():
            self.assertTrue(pids, "the worm %s should be running" % path)
        p.bystanders = {b.path: sm.running_programs(s, b.path) for b in m.bystanders}
        for path, pids in p.bystanders.items():
            self.assertTrue(pids, "the clean program %s should be running" % path)
        if library_bin:
            self.plant_library_beside_purgix(s, library_bin)
        p.locker = {x.path: sm.running_programs(s, "locker.exe " + x.path) for x in m.held()}
        self.assertTrue(all(p.locker.values()), "every held file should be held")

        p.held = [x.path for x in m.held()]
        p.short_held = [a for _, a in sm.run_setup(s, [("shortpath", x) for x in p.held])]
        p.rename_list = None
        if m.nine_x:
            temp_copy = sm.run_setup(s, [("temppath",)])[0][1] + "wininit.ini"
            p.rename_list = (temp_copy, m.rename_list_with(["NUL=" + a for a in p.short_held]))
        p.before = drive_checks.manifest(s)
        for x in m.samples:
            # The flags must really be there for their reset to mean anything.
            if "r" in x.attrs:
                self.assertEqual(p.before[x.path][1] & 0o222, 0, "%s should be read-only" % x.path)
            if "h" in x.attrs:
                self.assertIsNotNone(p.before[x.path][2], "%s should carry its hidden flag" % x.path)
        p.registry_before = sm.registry_snapshot(s)
        p.files_on_fixed_drives = sm.count_files(s, "ce")
        return p

    def scenario(self, version, restart_answer, capital_program_files=False, exe=None, wow64=False):
        """exe: which build's Purgix runs ("x86" or "x64"; by default this tree's own). wow64: the
        machine is a 64-bit Windows running 32-bit programs as well."""
        tag = "infected_" + version + ("_wow64_" + exe if wow64 else "")
        if wow64 and winebox.x86_unavailable():
            self.skipTest(winebox.x86_unavailable())
        with GuiSession(tag, version=version) as s:
            m = sm.Machine(version, capital_program_files, wow64=wow64)
            sm.wait_booted(s)
            if wow64:
                os.makedirs(os.path.dirname(s.c_path(sm.SLEEPER32)), exist_ok=True)
                shutil.copy(os.path.join(x86_bin(s), "purgix_sleeper.exe"), s.c_path(sm.SLEEPER32))
            if capital_program_files:
                os.rename(s.c_path("C:\\Program Files"), s.c_path(m.program_files))
            p = self.plant(s, m, library_bin=x86_bin(s) if exe == "x86" else s.bin)
            running_before, bystanders, locker, held = p.running_before, p.bystanders, p.locker, p.held
            rename_list, before, registry_before = p.rename_list, p.before, p.registry_before
            files_on_fixed_drives = p.files_on_fixed_drives
            # A program folder whose name no walk entered as "Program Files" is walked once more
            # after its drive: its files, but for the infected ones already removed, count twice.
            walked_again = 0
            if capital_program_files:
                walked_again = sum(len(files) for _, _, files in os.walk(s.c_path(m.program_files)))
                walked_again -= sum(1 for x in m.samples if x.path.startswith(m.program_files + "\\"))

            purgix, record = self.run_scan(s, m, tag, restart_answer, program=STICK_PROGRAM)

            # Every question was met: the stop question once (answered No), a box for each held
            # file (but on NT 5.x, whose way of ending processes by path reports no failure), and
            # the restart question.
            self.assertEqual(record.terminate_asked, 1)
            box_expected = [] if version == "winxp" else [x.path for x in m.held()]
            self.assertEqual(record.boxes, box_expected)
            self.assertTrue(record.restart_asked)
            self.assertEqual(record.status, "Scanning completed")

            # The hosts file is met by no walk once the first finding has removed it; on the NT
            # line the running worms' files are gone before the walk as well.
            scanned = files_on_fixed_drives - 1 + walked_again
            if self.memory_step_finds_running(m):
                scanned -= len(m.running())
            self.assertReport(m, record.lines, scanned)

            # What was left for the restart: the held file, and nothing else.
            if m.nine_x:
                self.assertEqual(record.pending_at_question, [])
                self.assertEqual(record.rename_list_at_question, rename_list[1])
            else:
                self.assertEqual(record.pending_at_question, [["\\??\\" + p, ""] for p in held])

            for path in running_before:
                self.assertEqual(sm.running_programs(s, path), [], "the worm %s should have been ended" % path)
            for path, pids in bystanders.items():
                self.assertEqual(sm.running_programs(s, path), pids, "the clean program %s should run on" % path)
            self.assertFalse(os.path.exists(s.c_path(PLANTED_MARK)), "the DLL beside Purgix was loaded")

            if restart_answer == YES:
                # The restart ends every program of the machine, Purgix included, and carries out
                # the pending deletions.
                purgix.wait(timeout=120)
                s.wait_for(lambda: not sm.running_programs(s, "locker.exe"), what="the locker to be ended")
                for path in held:
                    wait_gone_from_linux(s, path)
                # Nothing may be started in the machine before the restart has run its course.
                s.wait_for(lambda: not sm.running_programs(s, "wineboot"), what="the restart to finish")
            else:
                self.assertEqual(s.state(CANCEL, MAIN)[0], False)
                s.auto("click", MAIN, OK_BUTTON)
                self.assertEqual(purgix.wait(timeout=60), 0)
                for path in held:
                    self.assertTrue(os.path.exists(s.c_path(path)), "held file removed before the restart")
                self.assertEqual(set(sm.running_programs(s, "locker.exe")), set(sum(locker.values(), [])))
                self.check_machine(s, m, before, registry_before, rename_list, restarted=False)
                s.prefix.stop()  # ends the locker, as a shutdown would
                s.prefix.restart()
            self.check_machine(s, m, before, registry_before, rename_list, restarted=True)

    def plant_library_beside_purgix(self, s, bin_folder):
        """Purgix (from bin_folder) and a DLL of a system library's name on the stick; Wine is told
        to prefer a DLL found beside the program to its own, as Windows does."""
        shutil.copy(os.path.join(bin_folder, self.PURGIX_FILE), s.c_path(STICK_PROGRAM))
        shutil.copy(os.path.join(bin_folder, "planted_library.dll"), s.c_path("F:\\" + PLANTED_NAME))
        s.wine("reg", "add", r"HKCU\Software\Wine\DllOverrides", "/v", PLANTED_NAME[:-4], "/d", "native,builtin", "/f")

    def check_machine(self, s, m, before, registry_before, rename_list, restarted):
        """Files and values: every infected one gone, everything else byte for byte as it was.
        rename_list: on the 9x line, where the working copy lies and what the list should hold."""
        after = drive_checks.manifest(s)
        infected = {x.path for x in m.samples if restarted or not x.held} | {m.hosts}
        for path in infected:
            self.assertIn(path, before)
            self.assertNotIn(path, after, "%s should be gone" % path)
        for path in ([x.path for x in m.untouchable] + list(m.clean_files) + [p for p, _, _ in m.near_misses] +
                     [b.path for b in m.bystanders]):
            self.assertIn(path, after)
        changed = sorted(p for p in set(before) | set(after)
                         if before.get(p) != after.get(p) and p not in infected)
        if not m.nine_x:
            self.assertEqual(changed, [])
        else:
            # The rename list gained the entry after a working copy of it was left in the temporary
            # folder; the restart carries the list out and keeps it as wininit.bak.
            temp_copy, spliced = rename_list
            if restarted:
                bak = "C:\\windows\\wininit.bak"
                self.assertEqual(changed, sorted([m.rename_list_path, bak, m.deleted_by_rename_list, temp_copy]))
                self.assertNotIn(m.rename_list_path, after)
                self.assertNotIn(m.deleted_by_rename_list, after)
                with open(s.c_path(bak), "rb") as f:
                    self.assertEqual(f.read(), spliced)
            else:
                self.assertEqual(changed, sorted([m.rename_list_path, temp_copy]))
            with open(s.c_path(temp_copy), "rb") as f:
                self.assertEqual(f.read(), m.rename_list)
        self.check_registry(s, m, registry_before)

    def check_registry(self, s, m, registry_before):
        values, keys = sm.registry_snapshot(s)
        old_values, old_keys = registry_before
        gone = {(v.key.upper(), v.name.upper()) for v in m.autorun if v.removed_by}
        for key in gone:
            self.assertIn(key, old_values)
            self.assertNotIn(key, values, "worm value %s should be gone" % (key,))
        # Nothing else changed, and nothing was added.
        expected = {k: v for k, v in old_values.items() if k not in gone}
        differences = sorted("%s\\%s: %s -> %s" % (k[0], k[1], expected.get(k), values.get(k))
                             for k in set(expected) | set(values) if expected.get(k) != values.get(k))
        self.assertEqual(differences, [])
        self.assertEqual(sorted(keys ^ old_keys), [])


class InfectedMachineTest(InfectedMachineScenario):
    def test_cancelled_scan_leaves_every_file_it_did_not_reach(self):
        # C: is walked first and aaa_early first on it; the walk is stopped inside its bulk folder.
        first = sm.Sample("C:\\aaa_early\\first.exe", 6)
        late = [sm.Sample("C:\\aaa_early\\zz_after\\late1.exe", 7), sm.Sample("C:\\windows\\late2.exe", 8),
                sm.Sample("E:\\late3.exe", 9, attrs="rh"), sm.Sample("E:\\sub\\late4.exe", 10)]
        bulk = "C:\\aaa_early\\bulk"
        values = [sm.AutorunValue(sm.RUN, "First", '"C:\\aaa_early\\first.exe" /s', removed_by=first.path),
                  sm.AutorunValue(sm.RUN, "Late2", '"C:\\windows\\late2.exe" -run'),
                  sm.AutorunValue(sm.RUN_SERVICES, "Late3", "E:\\late3.exe")]
        hosts = "C:\\windows\\system32\\drivers\\etc\\hosts"
        with GuiSession("infected_cancelled", version="win7") as s:
            sm.wait_booted(s)
            write_bulk(s, bulk, BULK_FILES)
            commands = [("sample", x.path, str(x.index)) + ((x.attrs,) if x.attrs else ()) for x in [first] + late]
            commands += [("reg", v.key, v.name, v.kind, v.data) for v in values] + [("hosts", hosts)]
            sm.run_setup(s, commands)
            before = drive_checks.manifest(s)
            registry_before = sm.registry_snapshot(s)
            read_only_hidden = before["E:\\late3.exe"]
            self.assertEqual(read_only_hidden[1] & 0o222, 0, "the planted file should be read-only")
            self.assertIsNotNone(read_only_hidden[2], "the planted file should carry its hidden flag")

            purgix = s.start_purgix()
            s.wait_window(MAIN)
            s.auto("click", MAIN, SCAN)
            s.wait_for(lambda: unescape(s.text(STATUS, MAIN)).startswith(bulk + "\\"), timeout=120,
                       what="the walk inside " + bulk)
            s.auto("key", MAIN, 27)
            s.auto("wait-window", QUESTION, 60000)
            self.assertEqual(unescape(s.text(1086, QUESTION)), sm.TERMINATE_QUESTION)
            # The walk waits for the answer; the status shows the last entry it reached.
            reached = unescape(s.text(STATUS, MAIN))
            s.screenshot("infected_cancelled_question")
            s.auto("click", QUESTION, YES)
            s.wait_for(lambda: s.text(STATUS, MAIN) == "Scanning terminated" and s.state(OK_BUTTON, MAIN) == (True, True),
                       timeout=120, what="Scanning terminated")
            lines = s.lines(RESULT_LIST, MAIN)
            s.screenshot("infected_cancelled_finished")
            self.assertEqual(s.auto("exists", QUESTION), "0", "a cancelled scan with nothing pending asks nothing more")
            s.auto("click", MAIN, OK_BUTTON)
            self.assertEqual(purgix.wait(timeout=60), 0)

            # Files counted: first.exe, then the bulk files up to the one shown (none for "." and "..").
            name = reached[len(bulk) + 1:]
            shown = int(name[len("clean_"):-len(".txt")]) + 1 if name.startswith("clean_") else 0
            self.assertLess(shown, BULK_FILES, "the walk should have been stopped inside the bulk folder")
            self.assertEqual(lines, [sm.removed(hosts, sm.MAIL_NAME), sm.REGISTRY_LINE,
                                     sm.removed(first.path, first.name)] + sm.statistics(1 + shown, 2, 2))

            after = drive_checks.manifest(s)
            changed = sorted(p for p in set(before) | set(after) if before.get(p) != after.get(p))
            self.assertEqual(changed, sorted([first.path, hosts]))
            self.assertNotIn(first.path, after)
            values_after, keys_after = sm.registry_snapshot(s)
            gone = (sm.RUN.upper(), "FIRST")
            self.assertEqual(values_after, {k: v for k, v in registry_before[0].items() if k != gone})
            self.assertIn(gone, registry_before[0])
            self.assertEqual(keys_after, registry_before[1])

    def test_win98_machine_restarted(self):
        self.scenario("win98", YES, capital_program_files=True)

    def test_winxp_machine_with_a_worm_service_not_restarted(self):
        self.scenario("winxp", NO)

    def test_nt40_machine_restarted(self):
        self.scenario("nt40", YES)

    def test_win7_machine_not_restarted(self):
        self.scenario("win7", NO)

    # A 64-bit Windows: either exe cleans both registry views and scans every file once, so both
    # report the same counts on the same machine, and both end a running 32-bit worm.
    def test_wow64_machine_cleaned_by_the_x64_exe(self):
        self.scenario("win7", NO, exe="x64", wow64=True)

    def test_wow64_machine_cleaned_by_the_x86_exe(self):
        self.scenario("win7", NO, exe="x86", wow64=True)


if __name__ == "__main__":
    unittest.main()
