"""DLLs named like the system's own libraries, beside Purgix and in its current folder, with Wine told to
prefer them as Windows does: none runs inside Purgix while its window opens, a web link opens and a
scan removes what it finds; none runs inside PurgixCmd while it scans.

PURGIX_EXE (a Linux path) runs that exe instead of the tree's own Purgix.exe: `make test-dist` runs
this scenario on the signed exes.
"""
import os
import shutil
import subprocess
import unittest

from gui_session import GuiSession, MAIN_TITLE, unescape
import scenario_machine as sm

MAIN = MAIN_TITLE + "@1055"
SCAN, DOWNLOAD, OK_BUTTON, STATUS, RESULT_LIST = 1052, 1053, 1070, 1065, 1055
PRODUCT_PAGE = "http://www.example.com/pages/Wardex-2014-Anti-virus/pgid-336527.aspx"
STICK = "F:\\"
CURRENT_FOLDER = "E:\\work"
MARK = "C:\\planted_library_was_loaded.txt"
# What the window, the shell and the process step load by name once the program runs (Wine's
# +loaddll trace), and what Windows' own libraries load on its versions (dwmapi, propsys,
# cryptbase). shcore and shlwapi come with the shell: imported, they would load before the
# program's first instruction. Left out: what Wine loads whatever the program does. version,
# sechost and ucrtbase are imports of Wine's own system libraries, and user32 loads imm32 while it
# starts: all before the program runs, and Wine 8 applies no exe's DependentLoadFlags to them.
# imm32's delayed import of ole32 (with ole32's imports combase and rpcrt4) is looked for beside
# the program even after SetDefaultDllDirectories: Wine resolves delayed imports with no search
# path of their own. On Windows every one of these but version is a known DLL, and no system
# library the program imports needs version.
PLANTED = ("uxtheme", "dwmapi", "propsys", "cryptbase", "shell32", "shlwapi", "shcore", "psapi")
SAMPLES = (("C:\\Apps\\tool.exe", 12), ("E:\\Downloads\\setup.exe", 18))


def program_under_test(s):
    return os.environ.get("PURGIX_EXE") or os.path.join(s.bin, "Purgix.exe")


def planted_loads(s):
    """Lines "DLL<tab>program" of every load of a planted DLL so far."""
    if not os.path.exists(s.c_path(MARK)):
        return []
    with open(s.c_path(MARK), encoding="latin-1") as f:
        return [line.strip() for line in f if line.strip()]


def plant(s):
    """The samples, and the planted DLLs beside the stick's programs and in the current folder."""
    sm.wait_booted(s)
    sm.run_setup(s, [("sample", path, str(index)) for path, index in SAMPLES])
    os.makedirs(s.c_path(CURRENT_FOLDER), exist_ok=True)
    for name in PLANTED:
        for folder in (STICK, CURRENT_FOLDER + "\\"):
            shutil.copy(os.path.join(s.bin, "planted_library.dll"), s.c_path(folder + name + ".dll"))
        s.wine("reg", "add", r"HKCU\Software\Wine\DllOverrides", "/v", name, "/d", "native,builtin", "/f")


class PlantedLibrariesTest(unittest.TestCase):
    maxDiff = None

    def test_no_planted_library_runs_in_the_console_program(self):
        with GuiSession("planted_libraries_console") as s:
            plant(s)
            shutil.copy(os.path.join(s.bin, "PurgixCmd.exe"), s.c_path(STICK + "PurgixCmd.exe"))
            run = s.prefix.popen([STICK + "PurgixCmd.exe", "/quiet"], display=s.xvfb.display,
                                 cwd=s.c_path(CURRENT_FOLDER), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.assertEqual(run.wait(timeout=300), 0, "every worm found was removed")
            self.assertEqual(planted_loads(s), [], "planted DLLs were loaded (DLL, program)")
            for path, _ in SAMPLES:
                self.assertFalse(os.path.exists(s.c_path(path)), "%s should be gone" % path)

    def test_no_planted_library_runs_in_the_window_the_link_or_the_scan(self):
        with GuiSession("planted_libraries") as s:
            plant(s)
            shutil.copy(program_under_test(s), s.c_path(STICK + "Purgix.exe"))

            purgix = s.prefix.popen([STICK + "Purgix.exe"], display=s.xvfb.display, cwd=s.c_path(CURRENT_FOLDER),
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # A planted DLL without the real one's functions may stop the program at any step: each
            # wait ends as soon as one has been loaded, and the test names it.
            def loaded_or(condition):
                return lambda: planted_loads(s) or condition()

            s.wait_for(loaded_or(lambda: s.auto("exists", MAIN) == "1"), what="the main window")
            self.assertEqual(planted_loads(s), [], "planted DLLs were loaded (DLL, program)")
            s.auto("click", MAIN, DOWNLOAD)
            opened = s.c_path("C:\\opened-urls.txt")
            s.wait_for(loaded_or(lambda: os.path.exists(opened) and os.path.getsize(opened) > 0),
                       what="the recorded address")
            self.assertEqual(planted_loads(s), [], "planted DLLs were loaded (DLL, program)")
            with open(opened, encoding="latin-1") as f:
                self.assertEqual([line.strip().strip('"') for line in f if line.strip()], [PRODUCT_PAGE])

            scanned = sm.count_files(s, "ce")
            s.auto("click", MAIN, SCAN)
            s.wait_for(loaded_or(lambda: unescape(s.text(STATUS, MAIN)) == "Scanning completed" and
                                 s.state(OK_BUTTON, MAIN) == (True, True)), timeout=300, what="the end of the scan")
            self.assertEqual(planted_loads(s), [], "planted DLLs were loaded (DLL, program)")
            found = [sm.removed(path, sm.record_name(index))
                     for path, index in sorted(SAMPLES, key=lambda x: sm.walk_key(x[0]))]
            self.assertEqual(s.lines(RESULT_LIST, MAIN), found + sm.statistics(scanned, len(SAMPLES), len(SAMPLES)))
            for path, _ in SAMPLES:
                self.assertFalse(os.path.exists(s.c_path(path)), "%s should be gone" % path)
            s.auto("click", MAIN, OK_BUTTON)
            self.assertEqual(purgix.wait(timeout=60), 0)
            self.assertEqual(planted_loads(s), [], "planted DLLs were loaded (DLL, program)")


if __name__ == "__main__":
    unittest.main()
