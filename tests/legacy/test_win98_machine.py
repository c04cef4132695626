"""The win98 infected machine under the 9x rules Wine does not enforce: the exe traced, a strict build.

The shipped exe is traced and judged call by call; the strict build makes those calls fail as they
fail on the 9x line and must clean the machine all the same."""
import ntpath
import os
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
for folder in (os.path.join(HERE, "..", "support"), os.path.join(HERE, "..", "gui"), HERE):
    sys.path.insert(0, folder)
import nine_x_rules  # noqa: E402
import relay_judge  # noqa: E402
import winebox  # noqa: E402
from gui_session import win_build_dir  # noqa: E402
from test_infected_machine import YES, InfectedMachineScenario  # noqa: E402

RELAY_SETTINGS = r"HKCU\Software\Wine\Debug"
# The loader's line with the program's load address comes with the relay trace; +pid tells the
# program's lines from those of the programs it starts (the restart's wineboot inherits them).
TRACE_CHANNELS = "-all,+pid,+relay,+loaddll"


class ShippedExeTraced(InfectedMachineScenario):
    """The shipped exe scans the win98 machine under Wine's relay trace; every call out of its own
    image (its statically linked runtime included) is held against the 9x line's rules."""

    def setUp(self):
        self.build = win_build_dir()
        runs = os.path.join(self.build, "wine-runs")  # where every test of the tree keeps its run folder
        os.makedirs(runs, exist_ok=True)
        self.trace_folder = tempfile.mkdtemp(prefix="relay-", dir=runs)
        self.trace = os.path.join(self.trace_folder, "purgix.trace")
        if os.environ.get("PURGIX_KEEP_PREFIX") != "1":
            self.addCleanup(shutil.rmtree, self.trace_folder, True)

    def start_purgix(self, s, program):
        # Only calls out of the program's module, without the busiest harmless ones. Wine's default
        # list of callers to leave out would override the list of callers to take.
        settings = [("RelayFromInclude", ntpath.basename(program)), ("RelayExclude", ";".join(nine_x_rules.QUIET))]
        for name, data in settings:
            done = s.wine("reg", "add", RELAY_SETTINGS, "/v", name, "/d", data, "/f")
            self.assertEqual(done.returncode, 0, "reg add %s" % name)
        s.wine("reg", "delete", RELAY_SETTINGS, "/v", "RelayFromExclude", "/f")
        with open(self.trace, "wb") as trace:
            return s.start(program, stderr=trace, winedebug=TRACE_CHANNELS)

    def test_win98_machine_makes_no_call_the_9x_line_refuses(self):
        self.scenario("win98", YES, capital_program_files=True)
        system32 = os.path.join(winebox.ensure_template(self.build, "x86"), "drive_c", "windows", "system32")
        program = os.path.join(self.build, "bin", self.PURGIX_FILE)
        verdict = relay_judge.judge(self.trace, program, system32)
        print("calls from the image: %d, of %d functions; not judged, as they cannot happen on the 9x line: %s" %
              (sum(verdict.counted.values()), len(verdict.counted),
               ", ".join("%s %d" % item for item in sorted(verdict.not_judged.items())) or "none"))
        # A trace without the program's own calls would pass any rule: the scan's must be there.
        self.assertTrue(verdict.counted, "the trace holds no call of the program: relay tracing did not take")
        for seen in ("GetVersionExA", "CreateFileA", "ReadFile", "RegOpenKeyExA"):
            self.assertIn(seen, verdict.counted, "the trace misses the scan's calls of " + seen)
        if verdict.faults:
            where = " (trace kept in %s)" % self.trace if os.environ.get("PURGIX_KEEP_PREFIX") == "1" else ""
            self.fail("calls the 9x line refuses%s:\n%s" % (where, verdict.report(relay_judge.symbolizer(program))))


class StrictBuild(InfectedMachineScenario):
    """purgix_strict.exe, the shipped program built on the strict refusals, cleans the win98
    machine with every call the 9x line refuses failing as it fails there: same report, same
    files and values gone, the same rename list. Its tool-help gives full paths and it has no
    process-status library, as on the 9x line, so its memory step sees the running worms."""
    PURGIX_FILE = "purgix_strict.exe"
    SNAPSHOT_FULL_PATHS = True

    def test_win98_machine_is_cleaned_with_the_9x_refusals_in_force(self):
        self.scenario("win98", YES, capital_program_files=True)
