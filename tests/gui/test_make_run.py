"""`make run` without a display: the demo machine is cleaned and the run says what changed."""
import os
import re
import subprocess
import unittest

from gui_session import win_build_dir
import winebox

SOURCE = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))


class MakeRun(unittest.TestCase):
    def test_headless_run_cleans_the_demo_machine_and_reports_it(self):
        build = win_build_dir()
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "MAKEFLAGS", "MAKELEVEL", "MFLAGS")}
        arch = winebox.tree_arch(build)
        run = subprocess.run(["make", "-C", SOURCE, "run", "BUILD=" + os.path.dirname(build), "ARCH=" + arch], env=env,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=900)
        out = run.stdout
        self.assertEqual(run.returncode, 0, out)
        # The demo machine was made, including its running sample.
        self.assertNotIn("FAILED", out)
        self.assertIn("== Purgix (%s) on display" % arch, out)
        self.assertRegex(out, r"running\s+C:\\windows\\vorlexhost\.exe")
        # The result list: each sample removed, the worm's autorun value, the statistics block.
        self.assertIn("System Memory    W32/Vorlex.Trojan  removed", out)
        for path in (r"C:\windows\system32\vxupdate.exe", r"C:\Program Files\Shareware\Tools\Bin\helper.exe",
                     r"E:\Downloads\setup.exe"):
            self.assertRegex(out, re.escape(path) + r"     W32/Vorlex\.[A-Za-z.]+ removed")
        self.assertIn("System Registry     W32/Vorlex.Trojan removed", out)
        self.assertIn(r"E:\Games\patch.exe     W32/Vorlex.Ih.Worm Unable to remove", out)
        self.assertRegex(out, r"Total files infected\s+:  5")
        self.assertRegex(out, r"Total files removed\s+:  4")
        # The held sample is scheduled, so the restart question comes; the run answers No.
        self.assertIn("question: The system has to be restarted", out)
        self.assertIn("answered: No", out)
        self.assertIn("== final status: Scanning completed", out)
        # What changed: samples and worm values gone, ordinary files and the unrelated value kept.
        changes = out[out.index("== what changed"):]
        self.assertEqual(len(re.findall(r"sample\s+REMOVED", changes)), 3, changes)
        self.assertRegex(changes, r"running\s+REMOVED")
        self.assertRegex(changes, r"held open\s+present\s+E:\\Games\\patch\.exe")
        self.assertRegex(changes, r"restart\s+delete E:\\Games\\patch\.exe")
        self.assertEqual(len(re.findall(r"ordinary\s+present", changes)), 2, changes)
        self.assertRegex(changes, r"registry\s+REMOVED .*  VxUpdate")
        self.assertRegex(changes, r"registry\s+REMOVED .*  SMrhcjg7j0e38v")
        self.assertRegex(changes, r"registry\s+REMOVED .*  UninstallString")
        self.assertRegex(changes, r"registry\s+present .*  DisplayHelper")
        for name in ("run-idle.png", "run-finished.png"):
            self.assertTrue(os.path.exists(os.path.join(build, "screenshots", name)), name)


if __name__ == "__main__":
    unittest.main()
