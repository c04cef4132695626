"""Real programs and libraries that are not the worm: a whole scan finds nothing, deletes nothing, changes nothing."""
import glob
import os
import sys
import time
import unittest

from gui_session import GuiSession, MAIN_TITLE, unescape
import drive_checks
import scenario_machine as sm
from winebox import pe_machine

MAIN = MAIN_TITLE + "@1055"
SCAN, OK_BUTTON, STATUS, RESULT_LIST = 1052, 1070, 1065, 1055
# The MinGW runtime and the other Windows programs of the Debian MinGW and Wine packages.
PACKAGE_GLOBS = ["/usr/lib/gcc/x86_64-w64-mingw32/*/", "/usr/lib/gcc/i686-w64-mingw32/*/", "/usr/x86_64-w64-mingw32/",
                 "/usr/i686-w64-mingw32/", "/usr/lib/x86_64-linux-gnu/wine/i386-windows/"]
CORPUS = "E:\\corpus"
# Bytes of resized copies per record size: small sizes get many copies, large ones a few.
SIZED_BUDGET = 8 << 20
SIZED_MIN, SIZED_MAX = 16, 64


def package_programs():
    """Every PE file below the package folders, in a fixed order."""
    found = []
    for pattern in PACKAGE_GLOBS:
        for top in sorted(glob.glob(pattern)):
            for root, dirs, files in os.walk(top):
                dirs.sort()
                for name in sorted(files):
                    path = os.path.join(root, name)
                    if not os.path.islink(path) and pe_machine(path):
                        found.append(path)
    return found


def prefix_programs(drive_c):
    """Every .exe and .dll of the prefix's own Windows tree, in a fixed order."""
    found = []
    for root, dirs, files in os.walk(drive_c):
        dirs.sort()
        for name in sorted(files):
            if name.lower().endswith((".exe", ".dll")):
                found.append(os.path.join(root, name))
    return found


def resized(data, size):
    """The bytes of a real program cut or grown (by repeating them) to exactly size bytes."""
    if len(data) >= size:
        return data[:size]
    return (data * (size // len(data) + 1))[:size]


def record_sizes(s):
    done = s.wine(r"T:\bin\record_sizes.exe")
    sizes = sorted({int(x) for x in done.stdout.split()})
    if done.returncode != 0 or not sizes:
        raise AssertionError("record_sizes failed")
    return sizes


def copy_corpus(s, programs, sizes):
    """E:\\corpus\\packages: the package programs byte for byte. E:\\corpus\\sized\\<size>: real programs
    cut or grown to the exact size of a signature record, so the checker reads their headers and
    probes them instead of passing them by on their size. Every 32-bit program goes into every
    size (the checker reads the section table where a 32-bit image keeps it); 64-bit ones rotate."""
    target = s.c_path(CORPUS)
    copied = 0
    for i, path in enumerate(programs["packages"]):
        out = os.path.join(target, "packages", "%03d_%s" % (i, os.path.basename(path)))
        os.makedirs(os.path.dirname(out), exist_ok=True)
        with open(path, "rb") as src, open(out, "wb") as dst:
            dst.write(src.read())
        copied += 1
    pool = programs["packages"] + programs["prefix"]
    narrow = [p for p in pool if pe_machine(p) == 0x14c]
    wide = [p for p in pool if pe_machine(p) != 0x14c]
    turn = 0
    for size in sizes:
        count = max(SIZED_MIN, min(SIZED_MAX, SIZED_BUDGET // size))
        chosen = narrow[:count] + [wide[(turn + j) % len(wide)] for j in range(max(0, count - len(narrow)))]
        turn += count
        folder = os.path.join(target, "sized", str(size))
        os.makedirs(folder)
        for j, path in enumerate(chosen):
            with open(path, "rb") as src:
                data = src.read()
            with open(os.path.join(folder, "%02d_%s" % (j, os.path.basename(path))), "wb") as dst:
                dst.write(resized(data, size))
            copied += 1
    return copied


# Registry values a careless cleaning would take: bare and full names of real programs, the
# worm's uninstall entry and its companion value (removed only after a deletion), service keys.
def traps(first_package):
    return [
        (sm.RUN, "CorpusNotepad", "sz", "notepad.exe"),
        (sm.RUN, "CorpusWinver", "expand", "%SystemRoot%\\system32\\winver.exe"),
        (sm.RUN, "CorpusPackage", "sz", '"%s\\packages\\000_%s" /x' % (CORPUS, os.path.basename(first_package))),
        (sm.RUN, "SMrhcjg7j0e38v", "sz", "C:\\WINDOWS\\rhcjg7j0e38v.exe"),
        (sm.RUN_SERVICES, "CorpusSpooler", "sz", "C:\\windows\\system32\\spoolsv.exe"),
        (sm.UNINSTALL, "UninstallString", "sz", "C:\\WINDOWS\\rhcjg7j0e38v\\uninstall.exe"),
        ("SYSTEM\\ControlSet001\\Services\\notepad\\Enum", "Count", "sz", "1"),
        ("SYSTEM\\ControlSet001\\Services\\notepad\\Security", "Security", "sz", "x"),
        ("SYSTEM\\ControlSet002\\Services\\notepad\\Enum", "Count", "sz", "1"),
    ]


def note(text):
    sys.stderr.write(text + "\n")


class RealSoftwareTest(unittest.TestCase):
    maxDiff = None

    def test_real_programs_and_libraries_are_left_alone(self):
        with GuiSession("real_software") as s:
            sm.wait_booted(s)
            started = time.time()
            programs = {"packages": package_programs(), "prefix": prefix_programs(s.prefix.drive_folder("c"))}
            self.assertGreaterEqual(len(programs["packages"]), 20, "the MinGW runtime DLLs should be installed")
            self.assertGreaterEqual(len(programs["prefix"]), 500)
            copied = copy_corpus(s, programs, record_sizes(s))
            corpus_size = len(programs["prefix"]) + copied
            self.assertGreater(corpus_size, 2500)
            setup = [("reg",) + trap for trap in traps(programs["packages"][0])]
            sm.run_setup(s, setup + [("start", '"C:\\windows\\notepad.exe"')])
            notepad = sm.running_programs(s, "notepad.exe")
            self.assertTrue(notepad, "notepad should be running during the scan")

            scanned = drive_checks.expected_files_scanned(s.prefix, "ce")
            self.assertGreaterEqual(scanned, corpus_size)
            registry_before = sm.registry_snapshot(s)
            files_before = drive_checks.manifest(s, "cdef")
            note("corpus: %d programs of the prefix, %d package programs, %d resized copies; %d files to scan;"
                 " set up in %.1f s" % (len(programs["prefix"]), len(programs["packages"]),
                                        copied - len(programs["packages"]), scanned, time.time() - started))

            purgix = s.start_purgix()
            s.wait_window(MAIN)
            scan_started = time.time()
            s.auto("click", MAIN, SCAN)
            s.wait_for(lambda: unescape(s.text(STATUS, MAIN)) in ("Scanning completed", "Scanning terminated"),
                       timeout=480, what="the end of the scan")
            note("scan of %d files: %.1f s" % (scanned, time.time() - scan_started))
            s.screenshot("real_software_finished")
            self.assertEqual(unescape(s.text(STATUS, MAIN)), "Scanning completed")
            # Nothing but the statistics: no finding, no registry line, no question was asked.
            self.assertEqual(s.lines(RESULT_LIST, MAIN), sm.statistics(scanned, 0, 0))
            self.assertEqual(s.auto("exists", MAIN_TITLE + "@1086"), "0")

            self.assertEqual(drive_checks.manifest_difference(files_before, drive_checks.manifest(s, "cdef")), [])
            self.assertEqual(sm.registry_snapshot(s), registry_before)
            self.assertEqual(sm.running_programs(s, "notepad.exe"), notepad)
            s.auto("click", MAIN, OK_BUTTON)
            self.assertEqual(purgix.wait(timeout=60), 0)


if __name__ == "__main__":
    unittest.main()
