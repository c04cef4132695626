#!/usr/bin/python3
"""`make bench`: the full GUI scan and PurgixCmd's whole-drive scan against a baseline walk and a
bare one (listing only), the file checking against clamscan, and the programs' peak memory at two tree sizes, from one run under Wine.
Prints a small table.

    run_bench.py BUILD_DIR [--files N] [--small-files N] [--rounds N]

Both windowed programs are driven and timed alike: Scan pressed, then the status label polled
until it reads "Scanning completed"; the scan's ratio is baseline seconds / scan seconds (the best
of the rounds each). PurgixCmd runs from its start to its end, with its output in a file. The checker's ratio is its files per second over clamscan's on the same tree.
Peak memory is VmHWM of the process (for Wine programs the wine64-preloader process running the exe).

Ratios come from one run on a shared machine: they are reported, never asserted. What is asserted
is that the runs agree: the same files counted by the scan and the baseline, the planted matches
and nothing else flagged by the checker and by clamscan, every match removed by the scan.
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, HERE)
import bench_tree  # noqa: E402
import winebox  # noqa: E402
from gui_session import GuiSession  # noqa: E402

MAIN = "Purgix Ver 1.0@1055"      # the main window (its result list's id tells it from a dialog)
DIALOG = "Purgix Ver 1.0@1086"    # the message dialog, here only the restart question
BASELINE = "Purgix baseline scan@1065"
SCAN, STATUS, OK_BUTTON, RESULT_LIST, ANSWER_NO = 1052, 1065, 1070, 1055, 7
TREE_DRIVE = "e"
DONE = "Scanning completed"
SCAN_TIMEOUT = 900


class BenchError(RuntimeError):
    pass


def check(condition, message):
    if not condition:
        raise BenchError(message)


def peak_kib_of(pid):
    """VmHWM (peak resident set) of a live process, in KiB; the Wine loader keeps the PID it was started with."""
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def wine_pid_running(prefix, exe_name, started_pid):
    """PID of the process running exe_name: the one we started, if its command line names the program."""
    try:
        with open("/proc/%d/cmdline" % started_pid, "rb") as f:
            if exe_name.lower().encode() in f.read().lower():
                return started_pid
    except OSError:
        pass
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                cmdline = f.read().lower()
            with open("/proc/%s/environ" % pid, "rb") as f:
                environ = f.read().split(b"\0")
        except OSError:
            continue
        if exe_name.lower().encode() in cmdline and ("WINEPREFIX=" + prefix.path).encode() in environ:
            return int(pid)
    return started_pid


def run_measured(args, env=None, cwd=None):
    """Runs a program to its end; returns (exit code, stdout text, wall seconds, peak KiB).

    The peak is the largest VmHWM seen while it runs, read every 50 ms: the rusage of a waited
    child is no use here, as it keeps the high-water mark of the forked Python it started as.
    """
    with tempfile.TemporaryFile() as out:
        start = time.monotonic()
        proc = subprocess.Popen(args, env=env, cwd=cwd, stdout=out, stderr=subprocess.DEVNULL)
        peak = 0
        while proc.poll() is None:
            try:
                peak = max(peak, peak_kib_of(proc.pid))
            except (OSError, ValueError):
                pass
            time.sleep(0.05)
        seconds = time.monotonic() - start
        out.seek(0)
        text = out.read().decode(errors="replace")
    return proc.returncode, text, seconds, peak


class Session(GuiSession):
    """One prefix whose drive E: holds a benchmark tree, on a private display, with the automation program."""

    def __init__(self, build, name, files):
        super().__init__(name, drives={TREE_DRIVE: "hd"}, build=build)
        self.files = files
        self.plan = None

    def auto(self, *words):
        """The automation program's answer, or None when the command failed."""
        return self.try_auto(*words)

    def measured(self, args, display=False):
        """Runs a Windows program of this prefix to its end: (exit code, stdout, seconds, peak KiB)."""
        env = self.prefix.env(self.xvfb.display if display else None)
        return run_measured([winebox.WINE] + list(args), env=env, cwd=self.prefix.drive_folder("c"))

    def tree_folder(self):
        return self.prefix.drive_folder(TREE_DRIVE)

    # -- the tree ---------------------------------------------------------------------------
    def build_tree(self, ldb_text):
        self.plan = bench_tree.Plan(self.files, bench_tree.record_sizes(ldb_text))
        start = time.monotonic()
        bench_tree.write(self.tree_folder(), self.plan)
        self.plant_samples()
        return time.monotonic() - start

    def plant_samples(self):
        """(Re)writes every sample of the plan: a scan removes the matching ones."""
        args = [r"T:\bin\bench_samples.exe"]
        for kind, index, rel in self.plan.samples:
            args += [kind, str(index), bench_tree.windows_path(TREE_DRIVE, rel)]
        code, out, _, _ = self.measured(args)
        check(code == 0 and out.strip() == str(len(self.plan.samples)), "bench_samples failed: " + out)

    # -- the GUI scans ----------------------------------------------------------------------
    def timed_scan(self, exe, title):
        """Starts exe on the display, presses Scan in its window `title` and times it until the
        status reads "Scanning completed"; answers a restart question No, then presses OK.
        Returns (seconds, peak KiB, the program's output, the lines of its result list)."""
        with tempfile.TemporaryFile() as out:
            proc = self.prefix.popen([exe], display=self.xvfb.display, stdout=out, stderr=subprocess.DEVNULL)
            check(self.auto("wait-window", title, 60000) is not None, exe + ": no window")
            pid = wine_pid_running(self.prefix, exe.rsplit("\\", 1)[-1], proc.pid)
            start = time.monotonic()
            check(self.auto("click", title, SCAN) is not None, exe + ": cannot press Scan")
            seconds = None
            deadline = start + SCAN_TIMEOUT
            # One question every 0.2 s: the answer is late by at most that, and the asking costs
            # the scan a message or two. The restart question can only come after the final status.
            while time.monotonic() < deadline:
                if self.auto("text", title, STATUS) == DONE:
                    seconds = time.monotonic() - start
                    break
                time.sleep(0.2)
            check(seconds is not None, "%s: the scan did not complete within %d s" % (exe, SCAN_TIMEOUT))
            while time.monotonic() < deadline:
                if self.auto("exists", DIALOG) == "1":
                    self.auto("click", DIALOG, ANSWER_NO)
                state = self.auto("state", title, OK_BUTTON)
                if state and state.split()[0] == "1":
                    break
                time.sleep(0.05)
            peak = peak_kib_of(pid)
            lines = (self.auto("lines", title, RESULT_LIST) or "").split("\n")[1:]
            self.auto("click", title, OK_BUTTON)
            check(proc.wait(timeout=60) == 0, exe + ": did not end after OK")
            out.seek(0)
            return seconds, peak, out.read().decode(errors="replace"), lines

    def gui_scan(self):
        """Purgix.exe scans the machine; returns (seconds, peak KiB, statistics of its result list)."""
        seconds, peak, _, lines = self.timed_scan(r"T:\bin\Purgix.exe", MAIN)
        stats = {}
        for line in lines:
            if line.startswith("Total files") and ":" in line:
                stats[line.split("\\t")[0].strip()] = int(line.rsplit(":", 1)[1])
        return seconds, peak, stats

    def cmd_scan(self):
        """PurgixCmd scans the machine; returns (seconds, peak KiB, statistics of its output). Its
        hidden window needs the display, as the window programs do."""
        code, out, seconds, peak = self.measured([r"T:\bin\PurgixCmd.exe"], display=True)
        stats = {}
        for line in out.splitlines():
            if line.startswith("Total files") and ":" in line:
                stats[line.split("\t")[0].strip()] = int(line.rsplit(":", 1)[1])
        check(code == 0, "PurgixCmd ended with %d: %s" % (code, out[-500:]))
        return seconds, peak, stats

    def bare_walk(self):
        """The bare walk lists the same drives; returns (files, seconds, peak KiB)."""
        code, out, seconds, peak = self.measured([r"T:\bin\bare_walk.exe"])
        words = out.split()
        check(code == 0 and len(words) == 2 and words[0] == "files", "bare_walk failed: " + out)
        return int(words[1]), seconds, peak

    def baseline_scan(self):
        """The baseline walks the same drives; returns (files, seconds, peak KiB)."""
        seconds, peak, out, _ = self.timed_scan(r"T:\bin\baseline_scan.exe", BASELINE)
        words = out.split()
        check(len(words) >= 6 and words[0] == "files", "baseline_scan failed: " + out)
        return int(words[1]), seconds, peak


def checker_run(session, tell_size):
    """check_bench over the tree; returns (files, listing seconds, checking seconds, peak KiB, flagged)."""
    args = [r"T:\bin\check_bench.exe", TREE_DRIVE.upper() + ":\\"] + ([] if tell_size else ["--open"])
    code, out, _, peak = session.measured(args)
    flagged, result = [], None
    for line in out.splitlines():
        if line.startswith("flagged "):
            flagged.append(line[len("flagged "):].rsplit(" ", 1)[0])
        elif line.startswith("files "):
            words = line.split()
            result = (int(words[1]), float(words[3]), float(words[5]))
    check(code == 0 and result is not None, "check_bench failed: " + out[-500:])
    return result + (peak, sorted(flagged))


def clamscan_run(session, ldb_path):
    """clamscan over the same tree with only our records; returns (seconds, peak KiB, flagged paths)."""
    folder = session.tree_folder()
    # clamscan makes and removes a working folder for every file it scans: in memory that costs it
    # next to nothing, on a busy disk it can cost it most of its time. It is given its best case.
    shm = "/dev/shm" if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK) else None
    work = tempfile.mkdtemp(prefix="purgix-bench-clamscan-", dir=shm or session.prefix.root)
    args = ["clamscan", "--no-summary", "--infected", "--recursive", "--tempdir=" + work,
            "--database=" + ldb_path, folder]
    try:
        code, out, seconds, peak = run_measured(args, env=dict(os.environ, HOME=session.prefix.home))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    # Exit code 1 means "something found", 0 "nothing found"; anything else is an error.
    check(code in (0, 1), "clamscan failed with exit code %d" % code)
    flagged = []
    for line in out.splitlines():
        if line.endswith(" FOUND"):
            path = line.rsplit(": ", 1)[0]
            flagged.append(bench_tree.windows_path(TREE_DRIVE, os.path.relpath(path, folder)))
    return seconds, peak, sorted(flagged)


def count_files(folder):
    return sum(len(files) for _, _, files in os.walk(folder))


def fmt_row(what, files, seconds, ratio, peak_kib):
    rate = files / seconds if seconds else float("inf")
    peak = "%.1f" % (peak_kib / 1024.0) if peak_kib else "-"
    return "%-36s %8d %9.3f %10.0f %7s %9s" % (what, files, seconds, rate, ratio, peak)


def signature_database(s):
    """The 70 records as logical signatures, written beside the prefix (not on any of its drives)."""
    code, ldb_text, _, _ = s.measured([r"T:\bin\bench_samples.exe", "--ldb"])
    check(code == 0 and len(ldb_text.splitlines()) == 70, "no signature database from bench_samples")
    ldb_path = os.path.join(s.prefix.root, "purgix-bench.ldb")
    with open(ldb_path, "w") as f:
        f.write(ldb_text)
    return ldb_text, ldb_path


def compare_checking(s, ldb_path, expected, report):
    """FileChecker over every file of the tree (with and without listed sizes) against clamscan."""
    tree_files = s.plan.total()
    files, list_seconds, check_seconds, peak, flagged = checker_run(s, tell_size=True)
    check(files == tree_files, "check_bench saw %d files of %d" % (files, tree_files))
    check(flagged == expected, "FileChecker flagged %s, expected %s" % (flagged, expected))
    _, _, open_seconds, open_peak, open_flagged = checker_run(s, tell_size=False)
    check(open_flagged == expected, "FileChecker (opening every file) flagged %s" % open_flagged)
    clam_seconds, clam_peak, clam_flagged = clamscan_run(s, ldb_path)
    check(clam_flagged == expected, "clamscan flagged %s, expected %s" % (clam_flagged, expected))
    clam_rate = tree_files / clam_seconds

    def ratio(seconds):
        return "%.1f" % (files / seconds / clam_rate) if seconds else "inf"

    report.rows_after.append(fmt_row("FileChecker alone, listed sizes", files, check_seconds, ratio(check_seconds),
                                     peak))
    report.rows_after.append(fmt_row("  listing the tree + FileChecker", files, list_seconds + check_seconds,
                                     ratio(list_seconds + check_seconds), peak))
    report.rows_after.append(fmt_row("  FileChecker alone, opening each", files, open_seconds, ratio(open_seconds),
                                     open_peak))
    report.rows_after.append(fmt_row("  clamscan (native, same records)", tree_files, clam_seconds, "1.0", clam_peak))
    report.notes.append("FileChecker and clamscan both flagged exactly the %d planted matches of %d samples"
                        % (len(expected), len(s.plan.samples)))


def check_stats(what, stats, base_files, expected):
    scanned = stats.get("Total files scanned", -1)
    check(scanned == base_files, "%s counted %d files, the baseline %d" % (what, scanned, base_files))
    check(stats.get("Total files infected") == len(expected) and stats.get("Total files removed") == len(expected),
          "%s reported %s for %d planted matches" % (what, stats, len(expected)))
    return scanned


def compare_scans(s, rounds, expected, report):
    """Baseline, GUI scan and PurgixCmd take turns, so that a burst of load on the machine hits them
    alike; the best time of each counts. Returns the peak memory of the GUI scan and of PurgixCmd."""
    base_times, scan_times, cmd_times, bare_times, scan_peak, base_peak, cmd_peak = [], [], [], [], 0, 0, 0
    for round_number in range(rounds):
        if round_number:
            s.plant_samples()
        base_files, seconds, peak = s.baseline_scan()
        base_times.append(seconds)
        base_peak = max(base_peak, peak)
        bare_files, seconds, _ = s.bare_walk()
        check(bare_files == base_files, "the bare walk counted %d files, the baseline %d" % (bare_files, base_files))
        bare_times.append(seconds)
        seconds, peak, stats = s.gui_scan()
        scan_times.append(seconds)
        scan_peak = max(scan_peak, peak)
        scanned = check_stats("the scan", stats, base_files, expected)
        s.plant_samples()
        seconds, peak, stats = s.cmd_scan()
        cmd_times.append(seconds)
        cmd_peak = max(cmd_peak, peak)
        check_stats("PurgixCmd", stats, base_files, expected)
    base_seconds, scan_seconds, cmd_seconds, bare_seconds = min(base_times), min(scan_times), min(cmd_times), \
        min(bare_times)
    report.rows.append(fmt_row("GUI scan, %d-file tree" % s.plan.total(), scanned, scan_seconds,
                               "%.2f" % (base_seconds / scan_seconds), scan_peak))
    report.rows.append(fmt_row("PurgixCmd scan, %d-file tree" % s.plan.total(), scanned, cmd_seconds,
                               "%.2f" % (base_seconds / cmd_seconds), cmd_peak))
    report.rows.append(fmt_row("  baseline walk (same drives)", base_files, base_seconds, "1.00", base_peak))
    report.rows.append(fmt_row("  bare walk (listing only)", bare_files, bare_seconds,
                               "%.2f" % (base_seconds / bare_seconds), 0))
    report.notes.append("PurgixCmd / bare walk: %.2fx the time (goal <= 1.2)" % (cmd_seconds / bare_seconds))
    report.notes.append("rounds (s): baseline %s; bare walk %s; GUI scan %s; PurgixCmd %s" % (
        " ".join("%.2f" % t for t in base_times), " ".join("%.2f" % t for t in bare_times),
        " ".join("%.2f" % t for t in scan_times), " ".join("%.2f" % t for t in cmd_times)))
    return scan_peak, cmd_peak


class Report:
    def __init__(self):
        self.rows, self.rows_after, self.notes = [], [], []

    def show(self, growth_mib, cmd_growth_mib):
        print("%-36s %8s %9s %10s %7s %9s" % ("run", "files", "seconds", "files/s", "ratio", "peak MiB"))
        for row in self.rows + self.rows_after:
            print(row)
        print("peak memory growth from the small to the large tree: GUI scan %+.1f MiB, PurgixCmd %+.1f MiB"
              % (growth_mib, cmd_growth_mib))
        print("goals: GUI scan ratio (baseline s / scan s) >= 0.90; PurgixCmd within 1.2x of the bare walk's time; "
              "FileChecker alone >= 10x clamscan's files/s; no memory growth")
        for note in self.notes:
            print(note)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("build", help="configured win64 build tree")
    parser.add_argument("--files", type=int, default=100000, help="files in the large tree")
    parser.add_argument("--small-files", type=int, default=10000, help="files in the small tree")
    parser.add_argument("--rounds", type=int, default=3, help="turns of baseline and GUI scan on the large tree")
    opts = parser.parse_args()
    build = os.path.abspath(opts.build)
    if not shutil.which("clamscan"):
        sys.exit("run_bench: clamscan is missing; tools/install-deps.sh bench installs it")
    subprocess.run(["ninja", "-C", build, "Purgix", "PurgixCmd", "purgix_auto", "baseline_scan", "bare_walk",
                    "check_bench", "bench_samples"],
                   check=True, stdout=subprocess.DEVNULL)
    winebox.ensure_template(build)
    report = Report()

    with Session(build, "bench_large", opts.files) as s:
        ldb_text, ldb_path = signature_database(s)
        built = s.build_tree(ldb_text)
        tree_files = count_files(s.tree_folder())
        check(tree_files == s.plan.total(), "tree holds %d files, planned %d" % (tree_files, s.plan.total()))
        report.notes.append("tree: %d files in %d folders written in %.1f s; the scans also count C:'s %d files"
                            % (tree_files, len(s.plan.leaves), built, count_files(s.prefix.drive_folder("c"))))
        expected = [bench_tree.windows_path(TREE_DRIVE, p) for p in s.plan.matches()]
        compare_checking(s, ldb_path, expected, report)
        large_peak, large_cmd_peak = compare_scans(s, opts.rounds, expected, report)

    with Session(build, "bench_small", opts.small_files) as s:
        s.build_tree(ldb_text)
        seconds, small_peak, stats = s.gui_scan()
        report.rows.append(fmt_row("GUI scan, %d-file tree" % s.plan.total(), stats.get("Total files scanned", -1),
                                   seconds, "-", small_peak))
        s.plant_samples()
        seconds, small_cmd_peak, stats = s.cmd_scan()
        report.rows.append(fmt_row("PurgixCmd scan, %d-file tree" % s.plan.total(),
                                   stats.get("Total files scanned", -1), seconds, "-", small_cmd_peak))

    report.show((large_peak - small_peak) / 1024.0, (large_cmd_peak - small_cmd_peak) / 1024.0)
    return 0


def interrupted(signum, frame):
    # Unwinds through the sessions, which stop their wineserver, Xvfb and programs on the way out.
    raise KeyboardInterrupt


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, interrupted)
    try:
        sys.exit(main())
    except BenchError as e:
        sys.exit("run_bench: " + str(e))
