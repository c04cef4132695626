"""A whole scan of a machine made hostile from Linux: too deep, looping, huge, locked and odd entries,
names the system would change, a link to a network drive, and a worm running where only wide names reach."""
import os
import shutil
import subprocess
import unittest

from gui_session import GuiSession, MAIN_TITLE, unescape
import drive_checks
import scenario_machine as sm

MAIN = MAIN_TITLE + "@1055"
SCAN, OK_BUTTON, STATUS, RESULT_LIST = 1052, 1070, 1065, 1055
LONG_NAMES = [letter * 100 for letter in "abcdefghij"]  # ten levels of 100 characters: over 1,000 in all
BIG_FILES = 20000


def write(path, data=b"x"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


GREEK = "\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac"  # a folder name the ANSI code page has no letter of
CYRILLIC = "\u041f\u0440\u0438\u043c\u0435\u0440"
CLEAN_TWIN = b"MZ a clean program of the name a changed path would lead to"
RUN = sm.RUN
# The running worm, where only the wide functions name it, and a clean program of its name.
RUNNING_WORM = "C:\\users\\Public\\" + CYRILLIC + "\\vxcyr.exe"
BYSTANDER = "C:\\Tools\\vxcyr.exe"
# Autorun values of the worms the ANSI functions would miss, and one of the clean twin's.
WORM_VALUES = {"VxCyr": '"%s" -b' % RUNNING_WORM, "VxDot": "E:\\dotted.\\vxdot.exe",
               "AuxRun": "C:\\windows\\system32\\aux.exe -q"}
KEPT_VALUES = {"DotTwin": "E:\\dotted\\vxdot.exe"}
DRIVES = {"d": "cdrom", "e": "hd", "f": "floppy", "n": "network"}


class HostileDrive:
    """The hazards on E:, built from Linux; remembers which samples a scan can and cannot reach.
    The NT line reaches every file (names outside the code page, paths past 259 characters)."""

    def __init__(self, s):
        self.s = s
        self.e = s.prefix.drive_folder("e")
        self.reachable = {}    # Windows path -> record name: must be removed
        self.untouchable = {}  # Windows path -> why it must stay
        self.shown = {}        # Windows path -> how the lines show it, where the ANSI text cannot
        self.locker = None

    def plant(self, *folders):
        """One sample in each folder (Windows paths); returns {folder: (file name, record name)}."""
        for folder in folders:
            os.makedirs(os.path.dirname(self.s.c_path(folder)), exist_ok=True)
        done = self.s.wine(r"T:\bin\plant_samples.exe", "1", *folders)
        if done.returncode != 0:
            raise AssertionError("plant_samples failed")
        return {folder: ("infected_%03d.exe" % i, sm.record_name(i % 70)) for i, folder in enumerate(folders)}

    def build(self):
        planted = self.plant(r"E:\staging_deep", r"E:\loop", r"E:\big", r"E:\held", r"E:\staging_far",
                             r"E:\staging_greek", r"E:\staging_dot", r"E:\staging_blank", r"E:\staging_aux",
                             r"E:\staging_net")
        # A tree over 1,000 characters deep: a sample beside the second level, one on the third
        # level (past 259 characters) and one at the bottom; a small file on every level.
        deep = os.path.join(self.e, "deep")
        windows = "E:\\deep"
        for level, name in enumerate(LONG_NAMES, 1):
            deep = os.path.join(deep, name)
            windows += "\\" + name
            write(os.path.join(deep, "f.txt"))
            if level in (2, 3):
                staging = "staging_deep" if level == 2 else "staging_far"
                sample, record = planted["E:\\" + staging]
                os.rename(os.path.join(self.e, staging, sample), os.path.join(deep, sample))
                self.reachable[windows + "\\" + sample] = record
                if level == 3:
                    far_sample, far_record = os.path.join(deep, sample), record
        shutil.copy(far_sample, os.path.join(deep, "bottom.exe"))
        self.reachable[windows + "\\bottom.exe"] = far_record
        os.rmdir(os.path.join(self.e, "staging_deep"))
        os.rmdir(os.path.join(self.e, "staging_far"))

        # A folder named in a script outside the code page: a sample and a clean file in it.
        greek = os.path.join(self.e, GREEK)
        os.rename(os.path.join(self.e, "staging_greek"), greek)
        sample, record = planted[r"E:\staging_greek"]
        write(os.path.join(greek, "notes.txt"), b"clean")
        self.reachable["E:\\" + GREEK + "\\" + sample] = record

        # A folder that holds a link to itself: E:\loop\back\back\... until the path gives out.
        write(os.path.join(self.e, "loop", "a.txt"))
        os.symlink(".", os.path.join(self.e, "loop", "back"))
        sample, record = planted[r"E:\loop"]
        self.reachable["E:\\loop\\" + sample] = record

        # Names the system's path normalisation would change, each beside a clean twin of the name it
        # would make: a folder ending in a dot, a file ending in a blank, a DOS device name (aux.exe,
        # which the ANSI functions open as the serial port) in the system folder.
        for staging, folder, name, twin in (("staging_dot", "E:\\dotted.", "vxdot.exe", "E:\\dotted\\vxdot.exe"),
                                            ("staging_blank", "E:\\blank", "vxblank.exe ", "E:\\blank\\vxblank.exe"),
                                            ("staging_aux", "C:\\windows\\system32", "aux.exe", None)):
            sample, record = planted["E:\\" + staging]
            target = folder + "\\" + name
            os.makedirs(self.s.c_path(folder), exist_ok=True)
            os.rename(os.path.join(self.e, staging, sample), self.s.c_path(target))
            os.rmdir(os.path.join(self.e, staging))
            self.reachable[target] = record
            if twin:
                write(self.s.c_path(twin), CLEAN_TWIN)

        # A folder link on a fixed drive to a network drive, with a worm behind it: never followed.
        share = os.path.join(self.s.prefix.drive_folder("n"), "share")
        os.makedirs(share)
        sample, _ = planted[r"E:\staging_net"]
        os.rename(os.path.join(self.e, "staging_net", sample), os.path.join(share, "vxnet.exe"))
        os.rmdir(os.path.join(self.e, "staging_net"))
        os.symlink(share, os.path.join(self.e, "tonet"))
        self.untouchable["N:\\share\\vxnet.exe"] = "on a network drive, behind a link"

        # 20,000 entries in one folder, a sample among them.
        big = os.path.join(self.e, "big")
        for i in range(BIG_FILES):
            with open(os.path.join(big, "entry_%05d.txt" % i), "wb") as f:
                f.write(b"%d" % i)
        sample, record = planted[r"E:\big"]
        self.reachable["E:\\big\\" + sample] = record

        # A sample another program holds open with no sharing: the scan cannot even read it.
        sample, _ = planted[r"E:\held"]
        self.untouchable["E:\\held\\" + sample] = "held without sharing"
        self.locker = self.s.prefix.popen([r"T:\bin\exclusive_locker.exe", "E:\\held\\" + sample],
                                          display=self.s.xvfb.display, stdout=subprocess.PIPE, text=True)
        if self.locker.stdout.readline().strip() != "held":
            raise AssertionError("the locker could not hold the sample")

        # Entries a Windows folder never holds: a pipe (opening it would wait for a writer for ever),
        # a link leading nowhere, an empty file, names outside the code page or with reserved marks.
        odd = os.path.join(self.e, "odd")
        os.makedirs(odd)
        os.mkfifo(os.path.join(odd, "pipe"))
        os.symlink("missing_target", os.path.join(odd, "dangling"))
        write(os.path.join(odd, "zero.txt"), b"")
        write(os.path.join(odd, "\u03a9-\u540d\u524d.txt"))
        write(os.path.join(odd, "star*name.txt"))
        write(os.path.join(odd, "colon:name.txt"))
        write(os.path.join(odd, ".hidden"))


    def start_programs(self):
        """The running worm where only wide names reach it, a clean program of its name running
        elsewhere, and the autorun values; returns {what: process id}."""
        staging = "C:\\users\\Public\\staging_vxcyr.exe"
        sm.run_setup(self.s, [("runnable", staging, "purgix_sleeper"), ("program", BYSTANDER, "purgix_sleeper")])
        os.makedirs(os.path.dirname(self.s.c_path(RUNNING_WORM)))
        os.rename(self.s.c_path(staging), self.s.c_path(RUNNING_WORM))
        commands = [("start", '"%s"' % RUNNING_WORM), ("start", '"%s"' % BYSTANDER)]
        commands += [("reg", RUN, name, "sz", data) for name, data in {**WORM_VALUES, **KEPT_VALUES}.items()]
        answers = sm.run_setup(self.s, commands)
        return {"worm": answers[0][1], "bystander": answers[1][1]}

    def shown_forms(self):
        """How the lines show each reachable sample the ANSI text cannot name as it is: its short form."""
        odd = [p for p in self.reachable if len(p) > drive_checks.MAX_PATH_CHARS or not p.isascii()]
        answers = sm.run_setup(self.s, [("shortpath-wide", p) for p in odd])
        return {p: answer for p, (_, answer) in zip(odd, answers)}


class RobustnessTest(unittest.TestCase):
    maxDiff = None

    def test_hostile_drive_is_scanned_to_the_end(self):
        with GuiSession("robust_hazards", drives=DRIVES) as s:
            sm.wait_booted(s)
            drive = HostileDrive(s)
            drive.build()
            processes = drive.start_programs()
            # The running worm's file goes in the memory step, before any drive is walked.
            scanned = drive_checks.expected_files_scanned(s.prefix, "ce", max_path=drive_checks.MAX_WIDE_PATH_CHARS) - 1
            shown = drive.shown_forms()
            worm_shown = sm.run_setup(s, [("shortpath-wide", RUNNING_WORM)])[0][1]
            self.assertGreater(scanned, BIG_FILES + 40)
            before = drive_checks.manifest(s, "cdefn")

            purgix = s.start_purgix()
            s.wait_window(MAIN)
            s.auto("click", MAIN, SCAN)
            s.wait_for(lambda: unescape(s.text(STATUS, MAIN)) in ("Scanning completed", "Scanning terminated"),
                       timeout=480, what="the end of the scan")
            s.screenshot("robust_hazards_finished")
            self.assertEqual(unescape(s.text(STATUS, MAIN)), "Scanning completed")
            lines = s.lines(RESULT_LIST, MAIN)

            # Every worm is listed once, under its true path (by its short form where the ANSI text
            # cannot spell it); every autorun value of theirs goes with a line of its own.
            found = len(drive.reachable) + 1
            tail = sm.statistics(scanned, found, found)
            self.assertEqual(lines[-len(tail):], tail)
            expected = [sm.removed(shown.get(path, path), name) for path, name in drive.reachable.items()]
            expected += [sm.MEMORY_LINE, sm.removed(worm_shown, sm.TABLE_ENTRY_NAME)]
            expected += [sm.REGISTRY_LINE] * len(WORM_VALUES)
            self.assertEqual(sorted(lines[:-len(tail)]), sorted(expected))

            # Exactly the worms are gone; the rest, out of reach, locked, twins or on the network
            # drive, is unchanged.
            after = drive_checks.manifest(s, "cdefn")
            self.assertEqual(drive_checks.manifest_difference(before, after),
                             ["removed " + path for path in sorted(list(drive.reachable) + [RUNNING_WORM])])
            for path in drive.untouchable:
                self.assertEqual(after[path], before[path])

            self.assertIsNone(drive.locker.poll(), "the program holding a file is left alone")
            answers = [a for _, a in sm.run_setup(s, [("alive", processes["worm"]), ("alive", processes["bystander"])])]
            self.assertEqual(answers, ["0", "1"], "the worm is ended, the clean program of its name runs on")
            values, _ = sm.registry_snapshot(s)
            for name in WORM_VALUES:
                self.assertNotIn((RUN.upper(), name.upper()), values)
            for name in KEPT_VALUES:
                self.assertIn((RUN.upper(), name.upper()), values)
            s.auto("click", MAIN, OK_BUTTON)
            self.assertEqual(purgix.wait(timeout=60), 0)


if __name__ == "__main__":
    unittest.main()
