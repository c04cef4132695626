"""A GUI test session: a Wine prefix drawing on a private Xvfb display, the automation program, screenshots.

    with GuiSession("main_window") as s:
        purgix = s.start_purgix()
        s.auto("wait-window", "Purgix Ver 1.0")
        s.screenshot("idle")
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import winebox  # noqa: E402

MAIN_TITLE = "Purgix Ver 1.0"


def win_build_dir():
    build = os.environ.get("PURGIX_WIN_BUILD")
    if not build:
        build = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "win64")
    return os.path.abspath(build)


class AutomationError(RuntimeError):
    pass


class Automation:
    """The automation program (purgix_auto.exe) started with pipes: one command line in, its answer out."""

    def __init__(self, proc):
        self.proc = proc

    def __call__(self, *words):
        """Sends one command; returns its answer (the text after "ok"), raises AutomationError otherwise."""
        line = " ".join('"%s"' % w if (" " in str(w) or not str(w)) else str(w) for w in words)
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        answer = []
        while True:
            got = self.proc.stdout.readline()
            if got == "":
                raise AutomationError("automation program ended during: " + line)
            got = got.rstrip("\n")
            if got == ".":
                break
            answer.append(got)
        first = answer[0] if answer else "error no answer"
        if not first.startswith("ok"):
            raise AutomationError("%s -> %s" % (line, first))
        answer[0] = first[3:] if first.startswith("ok ") else ""
        return "\n".join(answer)

    def attempt(self, *words):
        """The answer, or None when the command failed."""
        try:
            return self(*words)
        except AutomationError:
            return None

    def quit(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.write("quit\n")
                self.proc.stdin.flush()
            except OSError:
                pass


def start_automation(prefix, display, program=r"T:\bin\purgix_auto.exe"):
    return Automation(prefix.popen([program], display=display, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   text=True, bufsize=1))


class GuiSession:
    """Everything one GUI test starts, stopped again (by PID and by wineserver -k) when it ends."""

    def __init__(self, name, version="win7", drives=None, monitors=1, build=None):
        self.name = name
        self.build = build or win_build_dir()
        self.bin = os.path.join(self.build, "bin")
        self.screens = os.path.join(self.build, "screenshots")
        self.prefix = winebox.Prefix(self.build, name, version=version, drives=drives,
                                     programs_dir=self.build, graphics="x11")
        self.monitors = monitors
        self.xvfb = None
        self.automation = None

    # -- life cycle -------------------------------------------------------------------------
    def __enter__(self):
        try:
            self.prefix.create()
            system_reg = os.path.join(self.prefix.path, "system.reg")
            # Web links go to a recorder instead of a browser; it appends each address to C:\opened-urls.txt.
            for scheme in ("http", "https"):
                winebox.append_reg(system_reg, r"Software\Classes\%s\shell\open\command" % scheme,
                                   {"@": r'T:\bin\url_recorder.exe %1'})
            self.xvfb = winebox.Xvfb(monitors=self.monitors)
            self.prefix.start_server()
            self.automation = start_automation(self.prefix, self.xvfb.display)
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, kind, value, trace):
        if kind is not None and self.xvfb:
            try:
                self.screenshot("FAILED-" + self.name)
            except Exception:
                pass
        self.close()
        return False

    def close(self):
        if self.automation:
            self.automation.quit()
        self.prefix.stop()
        if self.xvfb:
            self.xvfb.stop()
        self.prefix.remove()

    # -- programs ---------------------------------------------------------------------------
    def start(self, program, *args, stderr=subprocess.DEVNULL, winedebug=None):
        """Starts a Windows program on the display; program is a Windows path or a name in bin/.
        Its standard error (where Wine's debug channels write) goes to `stderr`."""
        if "\\" not in program and ":" not in program:
            program = "T:\\bin\\" + program + ".exe"
        return self.prefix.popen([program] + list(args), display=self.xvfb.display, winedebug=winedebug,
                                 stdout=subprocess.DEVNULL, stderr=stderr)

    def start_purgix(self):
        return self.start("Purgix")

    def wine(self, *args, timeout=120):
        return self.prefix.run(list(args), display=self.xvfb.display, timeout=timeout,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)

    # -- automation -------------------------------------------------------------------------
    def auto(self, *words):
        """Sends one command to the automation program; returns its answer (text after "ok")."""
        return self.automation(*words)

    def try_auto(self, *words):
        return self.automation.attempt(*words)

    def wait_window(self, title=MAIN_TITLE, timeout_ms=60000):
        return self.auto("wait-window", title, timeout_ms)

    def text(self, control_id, title=MAIN_TITLE):
        return self.auto("text", title, control_id)

    def lines(self, control_id, title=MAIN_TITLE):
        out = self.auto("lines", title, control_id).split("\n")
        return [unescape(x) for x in out[1:]]

    def state(self, control_id, title=MAIN_TITLE):
        visible, enabled = self.auto("state", title, control_id).split()
        return visible == "1", enabled == "1"

    def wait_for(self, condition, timeout=60.0, what="condition"):
        """Polls condition() until it is true; raises after the time-out."""
        deadline = time.time() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.time() > deadline:
                raise AssertionError("timed out waiting for " + what)
            time.sleep(0.1)

    def screenshot(self, name):
        return self.xvfb.screenshot(os.path.join(self.screens, name + ".png"))

    def c_path(self, windows_path):
        """Linux path of a file on the prefix's C: (or another mapped drive)."""
        letter = windows_path[0].lower()
        rest = windows_path[3:].replace("\\", "/")
        return os.path.join(self.prefix.drive_folder(letter), rest)


def unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            out.append({"n": "\n", "r": "\r", "t": "\t", "\\": "\\"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)
