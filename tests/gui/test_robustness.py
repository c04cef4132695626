"""A whole scan of a drive made hostile from Linux: too deep, looping, huge, locked and odd entries."""
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
                             r"E:\staging_greek")
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


    def shown_forms(self):
        """How the lines show each reachable sample the ANSI text cannot name as it is: its short form."""
        odd = [p for p in self.reachable if len(p) > drive_checks.MAX_PATH_CHARS or not p.isascii()]
        answers = sm.run_setup(self.s, [("shortpath-wide", p) for p in odd])
        return {p: answer for p, (_, answer) in zip(odd, answers)}


class RobustnessTest(unittest.TestCase):
    maxDiff = None

    def test_hostile_drive_is_scanned_to_the_end(self):
        with GuiSession("robust_hazards") as s:
            sm.wait_booted(s)
            drive = HostileDrive(s)
            drive.build()
            scanned = drive_checks.expected_files_scanned(s.prefix, "ce", [s.c_path(p) for p in drive.reachable],
                                                          max_path=drive_checks.MAX_WIDE_PATH_CHARS)
            shown = drive.shown_forms()
            self.assertGreater(scanned, BIG_FILES + 40)
            before = drive_checks.manifest(s, "cdef")

            purgix = s.start_purgix()
            s.wait_window(MAIN)
            s.auto("click", MAIN, SCAN)
            s.wait_for(lambda: unescape(s.text(STATUS, MAIN)) in ("Scanning completed", "Scanning terminated"),
                       timeout=480, what="the end of the scan")
            s.screenshot("robust_hazards_finished")
            self.assertEqual(unescape(s.text(STATUS, MAIN)), "Scanning completed")
            lines = s.lines(RESULT_LIST, MAIN)

            found = len(drive.reachable)
            tail = sm.statistics(scanned, found, found)
            self.assertEqual(lines[-len(tail):], tail)
            self.assertEqual(sorted(lines[:-len(tail)]),
                             sorted(sm.removed(shown.get(path, path), name) for path, name in drive.reachable.items()))

            # Exactly the reachable samples are gone; the rest, out of reach or locked, is unchanged.
            after = drive_checks.manifest(s, "cdef")
            self.assertEqual(drive_checks.manifest_difference(before, after),
                             ["removed " + path for path in sorted(drive.reachable)])
            for path in drive.untouchable:
                self.assertEqual(after[path], before[path])

            self.assertIsNone(drive.locker.poll(), "the program holding a file is left alone")
            s.auto("click", MAIN, OK_BUTTON)
            self.assertEqual(purgix.wait(timeout=60), 0)


if __name__ == "__main__":
    unittest.main()
