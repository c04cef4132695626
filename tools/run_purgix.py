#!/usr/bin/python3
"""`make run`: starts Purgix under Wine in a sandbox prefix, on $DISPLAY or, without one, on Xvfb."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import winebox  # noqa: E402

TITLE = "Purgix Ver 1.0"


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/win64")
    prefix = winebox.Prefix(build, "make-run", version="winxp", graphics="x11")
    display = os.environ.get("DISPLAY")
    xvfb = None
    try:
        prefix.create()
        if not display:
            xvfb = winebox.Xvfb()
            display = xvfb.display
        prefix.start_server()
        print("Purgix runs in the sandbox prefix %s (display %s)" % (prefix.path, display))
        purgix = prefix.popen([r"T:\bin\Purgix.exe"], display=display)
        if xvfb is None:
            purgix.wait()
            return 0
        auto = [r"T:\bin\purgix_auto.exe"]
        found = prefix.run(auto + ["wait-window", TITLE, "60000"], display=display, stdout=subprocess.PIPE, text=True)
        if found.returncode != 0:
            print("the window did not appear")
            return 1
        time.sleep(0.5)  # let the first paint finish before the picture is taken
        shot = xvfb.screenshot(os.path.join(build, "screenshots", "make-run.png"))
        print("no DISPLAY: the window was drawn on Xvfb; screenshot: %s" % shot)
        prefix.run(auto + ["close", TITLE], display=display, stdout=subprocess.DEVNULL)
        purgix.wait(timeout=60)
        return 0
    finally:
        prefix.stop()
        if xvfb:
            xvfb.stop()
        prefix.remove()


if __name__ == "__main__":
    sys.exit(main())
