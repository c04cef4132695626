#!/usr/bin/python3
"""`make run`: Purgix on a small demo machine (a sandbox Wine prefix made fresh each time).

On $DISPLAY the window is yours to use. Without a display it is drawn on Xvfb and this script presses
Scan itself, answers No to a restart question, prints the result list and the final status and saves
screenshots. Afterwards it prints what changed on the demo machine.

`make run PREFIX=/path/to/prefix` runs Purgix on an existing prefix instead, after the same safety
checks as every prefix the project makes. The build tree given decides which exe runs: build/win64's
64-bit one, or build/win32's shipped 32-bit one (`make run ARCH=x86`), in a 32-bit demo machine.
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import winebox  # noqa: E402
from gui_session import start_automation, unescape  # noqa: E402

TITLE = "Purgix Ver 1.0"
DIALOG = TITLE + "@1086"  # the message dialog: same title as the main window, has the text control
IDC_SCAN, IDC_STATUS, IDC_LIST, IDC_OK, IDC_MESSAGE_TEXT = 1052, 1065, 1055, 1070, 1086
ID_YES, ID_NO, ID_OK_PAIR, ID_LONE_OK = 6, 7, 1, 3


def demo_machine(prefix, command):
    """Runs the demo machine program; its output goes through a file, because the sample it starts
    inherits the output handle and would hold a pipe open for as long as it runs."""
    log = os.path.join(prefix.root, "demo-%s.txt" % command)
    with open(log, "w") as out:
        prefix.run([r"T:\bin\demo_machine.exe", command], stdout=out, stderr=subprocess.DEVNULL)
    with open(log) as f:
        return f.read()


def refuse_unsafe(prefix_path):
    leaks = winebox.unsafe_links(prefix_path)
    if not os.path.exists(os.path.join(prefix_path, "system.reg")):
        sys.exit("%s is not a Wine prefix (no system.reg)." % prefix_path)
    if leaks:
        lines = "\n".join("  " + p for p in leaks)
        sys.exit("Refusing to scan %s: these links lead out of the prefix, so a scan would walk the Linux\n"
                 "machine through them:\n%s\nFix: remove the z: link from dosdevices and turn the user folders\n"
                 "under drive_c/users into plain folders (rm LINK && mkdir LINK), then run again." % (prefix_path, lines))


def drive_scan(auto, xvfb, shots):
    """Presses Scan, answers the questions, returns (lines, status)."""
    auto("wait-window", TITLE, 60000)
    time.sleep(0.5)  # first paint
    xvfb.screenshot(os.path.join(shots, "run-idle.png"))
    auto("click", TITLE, IDC_SCAN)
    status = ""
    deadline = time.time() + 600
    while time.time() < deadline:
        if auto("exists", DIALOG) == "1":
            question = (auto("text", DIALOG, IDC_MESSAGE_TEXT) or "").replace("\\n", " ")
            xvfb.screenshot(os.path.join(shots, "run-question.png"))
            print("question: %s" % " ".join(question.split()))
            answer = ID_NO
            if auto("state", DIALOG, ID_YES) != "1 1":
                answer = ID_OK_PAIR if auto("state", DIALOG, ID_OK_PAIR) == "1 1" else ID_LONE_OK
            print("answered: %s" % {ID_NO: "No", ID_OK_PAIR: "OK", ID_LONE_OK: "OK"}[answer])
            auto("click", DIALOG, answer)
            auto("wait-gone", DIALOG, 30000)
            continue
        status = auto("text", TITLE, IDC_STATUS) or ""
        if status in ("Scanning completed", "Scanning terminated") and auto("state", TITLE, IDC_OK) == "1 1":
            break
        if auto("exists", TITLE) != "1":
            return [], "(the window closed during the scan)"
        time.sleep(0.2)
    lines = (auto("lines", TITLE, IDC_LIST) or "0").split("\n")[1:]
    xvfb.screenshot(os.path.join(shots, "run-finished.png"))
    auto("click", TITLE, IDC_OK)
    return [unescape(l) for l in lines], status


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/win64")
    existing = sys.argv[2] if len(sys.argv) > 2 and sys.argv[2] else None
    bin_dir = os.path.join(build, "bin")
    shots = os.path.join(build, "screenshots")
    arch = winebox.tree_arch(build)
    if arch == "x86":
        reason = winebox.x86_unavailable()
        if reason:
            sys.exit("Cannot show the x86 exe: %s." % reason)
    if existing:
        refuse_unsafe(os.path.abspath(existing))
        prefix = winebox.Prefix(build, "make-run", graphics="x11")
        prefix.path = os.path.abspath(existing)
        prefix.home = os.path.join(prefix.path, ".purgix-home")
        os.makedirs(prefix.home, exist_ok=True)
        purgix, auto_exe = os.path.join(bin_dir, "Purgix.exe"), os.path.join(bin_dir, "purgix_auto.exe")
    else:
        prefix = winebox.Prefix(build, "make-run", version="winxp", graphics="x11")
        purgix, auto_exe = r"T:\bin\Purgix.exe", r"T:\bin\purgix_auto.exe"
    display = os.environ.get("DISPLAY")
    xvfb = None
    automation = None
    try:
        if not existing:
            prefix.create()
        if not display:
            xvfb = winebox.Xvfb()
            display = xvfb.display
        if not existing:
            prefix.start_server()
            print("== demo machine (%s)" % prefix.path)
            sys.stdout.write(demo_machine(prefix, "setup"))
        print("== Purgix (%s) on display %s" % (arch, display))
        window = prefix.popen([purgix], display=display)
        if xvfb is None:
            window.wait()
        else:
            automation = start_automation(prefix, display, auto_exe)
            lines, status = drive_scan(automation.attempt, xvfb, shots)
            print("== result list")
            for line in lines:
                print("  " + line.expandtabs(8))
            print("== final status: %s" % status)
            window.wait(timeout=120)
            print("screenshots: %s/run-*.png" % shots)
        if not existing:
            print("== what changed on the demo machine")
            sys.stdout.write(demo_machine(prefix, "report"))
        return 0
    finally:
        if automation:
            automation.quit()
        if existing:
            subprocess.run([winebox.WINESERVER, "-k"], env=prefix.env(), stderr=subprocess.DEVNULL, timeout=60)
        else:
            prefix.stop()
            prefix.remove()
        if xvfb:
            xvfb.stop()


if __name__ == "__main__":
    sys.exit(main())
