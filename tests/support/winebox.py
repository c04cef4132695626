"""Isolated Wine prefixes and Xvfb displays for Purgix's tests and for `make run`.

A template prefix is made once per build tree (wineboot -i) and made safe: no z: drive, user
folders as plain folders, fonts copied, no window manager wait. Each test copies it into a run
folder of its own (large binaries hard-linked, everything a program may rewrite copied), maps its
drives, sets the Windows version, keeps its wineserver alive while it runs and stops it afterwards.

A prefix runs the programs of one build tree, so it takes that tree's architecture: the win64
tree's programs run in 64-bit prefixes, the win32 tree's (the shipped exe and its test helpers) in
32-bit ones, a 32-bit Windows with no SysWOW64 and one Program Files.
"""
import errno
import fcntl
import os
import shutil
import signal
import subprocess
import sys
import time

WINE = "/usr/lib/wine/wine64"
# PURGIX_WINE32 replaces the 32-bit loader: an empty executable file there fails with ENOEXEC, as the
# real loader does on a kernel without 32-bit support, so the 32-bit layers take their skips. It does
# not stop the 64-bit loader from starting Wine's own 32-bit side: only such a kernel shows that.
WINE32 = os.environ.get("PURGIX_WINE32", "/usr/lib/wine/wine")
# Serves 32-bit prefixes as well; one server program keeps -k and -w the same for every prefix.
WINESERVER = "/usr/lib/wine/wineserver64"
# Architecture -> (loader, WINEARCH of a new prefix, template folder in the build tree).
ARCHES = {"x64": (WINE, "win64", "wine-template"), "x86": (WINE32, "win32", "wine-template-x86")}
VERSIONS = {"win98", "nt40", "win2k", "winxp", "win7"}
# Suite-name suffixes of the Windows-side tests and the version each asks for.
SUITE_VERSIONS = {"OnWin98": "win98", "OnNt40": "nt40", "OnWin2k": "win2k", "OnWinXp": "winxp", "OnWin7": "win7"}
# Binaries Wine never rewrites in place: safe to share between prefixes by hard link.
# Raise when the recipe of the template changes, so cached templates are made again.
TEMPLATE_RECIPE = "5"
SHARED_SUFFIXES = (".dll", ".exe", ".drv", ".sys", ".ocx", ".acm", ".cpl", ".tlb", ".ax", ".ds", ".mui",
                   ".nls", ".ttf", ".fon", ".com", ".msstyles", ".vxd", ".dll16", ".exe16")


def base_env(prefix, home):
    # One locale on every machine: Wine reads Linux file names through it, and only a UTF-8 one
    # keeps names outside ASCII whole (the ANSI code page is then 1252, OEM 437, as on a Western
    # Windows). A restart carries out pending deletions of such names only under the same locale.
    env = {k: v for k, v in os.environ.items()
           if not k.startswith("WINE") and not k.startswith("LC_") and k not in ("LANG", "LANGUAGE")}
    env.update(WINEPREFIX=prefix, HOME=home, WINEDEBUG=os.environ.get("PURGIX_WINEDEBUG", "-all"),
               WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=", LC_ALL="C.UTF-8")
    env.pop("DISPLAY", None)
    return env


def pe_machine(path):
    """The machine field of a PE file (0x14c i386, 0x8664 x86_64), or None for anything else."""
    try:
        with open(path, "rb") as f:
            head = f.read(4096)
    except OSError:
        return None
    if len(head) < 64 or head[:2] != b"MZ":
        return None
    at = int.from_bytes(head[60:64], "little")
    if at + 6 > len(head) or head[at:at + 4] != b"PE\0\0":
        return None
    return int.from_bytes(head[at + 4:at + 6], "little")


def tree_arch(build_dir):
    """Architecture of a build tree's programs, "x86" or "x64": every program in its bin/ is built
    for the same machine, Purgix.exe first among them."""
    folder = os.path.join(build_dir, "bin")
    names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
    for name in ["Purgix.exe"] + [n for n in names if n.lower().endswith(".exe")]:
        machine = pe_machine(os.path.join(folder, name))
        if machine is not None:
            return "x86" if machine == 0x14C else "x64"
    raise RuntimeError("no Windows program in %s: build the tree first" % folder)


def x86_unavailable():
    """Why 32-bit programs cannot run here, or None when they can. Only a kernel without 32-bit
    support counts: a missing 32-bit Wine is an installation fault and fails loudly."""
    try:
        subprocess.run([WINE32, "--version"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    except OSError as e:
        if e.errno == errno.ENOEXEC:
            return "this kernel cannot run 32-bit x86 programs (%s: %s)" % (WINE32, os.strerror(e.errno))
        raise
    return None


def _reg_block(key, values):
    lines = ["", "[%s] 0" % key.replace("\\", "\\\\")]
    for name, data in values.items():
        data = data.replace("\\", "\\\\").replace('"', '\\"')
        lines.append(('@="%s"' % data) if name == "@" else ('"%s"="%s"' % (name, data)))
    return "\n".join(lines) + "\n"


def append_reg(path, key, values):
    # Wine merges repeated key blocks when it loads a registry file, so appending is enough.
    with open(path, "a", encoding="utf-8") as f:
        f.write(_reg_block(key, values))


def make_plain_user_folders(prefix):
    """Turns every link under C:\\users (wineboot links user folders to $HOME) into a plain folder."""
    users = os.path.join(prefix, "drive_c", "users")
    for root, dirs, files in os.walk(users):
        for name in dirs + files:
            path = os.path.join(root, name)
            if os.path.islink(path):
                os.unlink(path)
                os.makedirs(path)


def unsafe_links(prefix):
    """Every link of a prefix that leads outside it: a scan would walk the Linux machine through it."""
    found = []
    dosdevices = os.path.join(prefix, "dosdevices")
    if os.path.lexists(os.path.join(dosdevices, "z:")):
        found.append(os.path.join(dosdevices, "z:"))
    users = os.path.join(prefix, "drive_c", "users")
    for root, dirs, files in os.walk(users):
        for name in dirs + files:
            path = os.path.join(root, name)
            if os.path.islink(path):
                found.append(path)
    return found


def _recipe_of(ready_file):
    try:
        with open(ready_file) as f:
            return f.read().strip()
    except OSError:
        return None


def ensure_template(build_dir, arch="x64"):
    """The template prefix of this build tree and architecture, made once (under a lock) and reused."""
    build_dir = os.path.abspath(build_dir)
    loader, winearch, folder = ARCHES[arch]
    template = os.path.join(build_dir, folder)
    ready = os.path.join(template, ".purgix-ready")
    recipe = "%s %s" % (TEMPLATE_RECIPE, arch)
    if _recipe_of(ready) == recipe:
        return template
    os.makedirs(build_dir, exist_ok=True)
    with open(os.path.join(build_dir, folder + ".lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if _recipe_of(ready) == recipe:
            return template
        shutil.rmtree(template, ignore_errors=True)
        home = template + "-home"
        os.makedirs(home, exist_ok=True)
        env = base_env(template, home)
        env["WINEARCH"] = winearch  # read when a prefix is made; an existing prefix keeps its own
        subprocess.run([loader, "wineboot", "-i"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       check=False, timeout=300)
        # Settings that every prefix shares: no wait for a window manager, no crash dialog.
        for args in (["reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f"],
                     ["reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD",
                      "/d", "0", "/f"]):
            subprocess.run([loader] + args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
        # One restart and one ordinary start before any test: what Wine's own boot adds to a new
        # prefix is then there before a test reads the registry, so a scenario that restarts sees
        # only the program's changes. In a 64-bit prefix whose 32-bit side cannot start, the restart
        # makes the 32-bit view's RunOnce and RunServices keys and the start that follows it (which
        # carries out the Run keys) makes the 32-bit view's Run key.
        for boot in (["-r"], []):
            subprocess.run([loader, "wineboot"] + boot, env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, check=False, timeout=300)
        subprocess.run([WINESERVER, "-k"], env=env, stderr=subprocess.DEVNULL, timeout=60)
        subprocess.run([WINESERVER, "-w"], env=env, stderr=subprocess.DEVNULL, timeout=60)
        if not os.path.exists(os.path.join(template, "system.reg")):
            raise RuntimeError("wineboot -i did not create a prefix in " + template)
        with open(os.path.join(template, "system.reg"), encoding="utf-8", errors="replace") as f:
            if "#arch=" + winearch not in f.read(4096):
                raise RuntimeError("%s is not a %s prefix" % (template, winearch))
        z = os.path.join(template, "dosdevices", "z:")
        if os.path.lexists(z):
            os.unlink(z)
        make_plain_user_folders(template)
        fonts = os.path.join(template, "drive_c", "windows", "Fonts")
        os.makedirs(fonts, exist_ok=True)
        if os.path.isdir("/usr/share/wine/fonts"):
            for name in os.listdir("/usr/share/wine/fonts"):
                shutil.copy2(os.path.join("/usr/share/wine/fonts", name), fonts)
        try:
            os.unlink(os.path.join(template, "wineserver"))
        except FileNotFoundError:
            pass
        shutil.rmtree(home, ignore_errors=True)
        with open(ready, "w") as f:
            f.write(recipe)
    return template


def copy_tree(src, dst):
    """Copies a template prefix: binaries hard-linked, every other file copied."""
    for root, dirs, files in os.walk(src):
        rel = os.path.relpath(root, src)
        target_root = dst if rel == "." else os.path.join(dst, rel)
        os.makedirs(target_root, exist_ok=True)
        for name in dirs:
            path = os.path.join(root, name)
            if os.path.islink(path):
                os.symlink(os.readlink(path), os.path.join(target_root, name))
        for name in files:
            path = os.path.join(root, name)
            target = os.path.join(target_root, name)
            if os.path.islink(path):
                os.symlink(os.readlink(path), target)
            elif name.lower().endswith(SHARED_SUFFIXES):
                os.link(path, target)
            else:
                shutil.copy2(path, target)
        dirs[:] = [d for d in dirs if not os.path.islink(os.path.join(root, d))]


class Prefix:
    """One isolated Wine prefix in a run folder: drives, version, a persistent wineserver. Its
    architecture is that of the programs it runs (programs_dir, the build tree by default)."""

    def __init__(self, build_dir, name, version="win7", drives=None, programs_dir=None, graphics="null"):
        if version not in VERSIONS:
            raise ValueError("unknown Windows version " + version)
        self.build_dir = os.path.abspath(build_dir)
        self.programs_dir = os.path.abspath(programs_dir or self.build_dir)
        self.arch = tree_arch(self.programs_dir)
        self.loader = ARCHES[self.arch][0]
        runs = os.path.join(self.build_dir, "wine-runs")
        os.makedirs(runs, exist_ok=True)
        safe = "".join(c if c.isalnum() or c in "-_." else "_" for c in name)[:80]
        self.root = os.path.join(runs, "%s-%d-%d" % (safe, os.getpid(), int(time.time() * 1000) % 100000))
        self.path = os.path.join(self.root, "prefix")
        self.home = os.path.join(self.root, "home")
        self.version = version
        # "null" gives windows without a display (engine tests); "x11" draws on a display.
        self.graphics = graphics
        # Drive letter -> (folder, type). C: is the prefix's own Windows tree.
        self.drives = {"d": "cdrom", "e": "hd", "f": "floppy"} if drives is None else dict(drives)
        self.started = []
        self.server_running = False

    def env(self, display=None):
        env = base_env(self.path, self.home)
        if display:
            env["DISPLAY"] = display
        return env

    def drive_folder(self, letter):
        return os.path.join(self.path, "drive_c") if letter == "c" else os.path.join(self.root, "drive_" + letter)

    def create(self):
        template = ensure_template(self.build_dir, self.arch)
        os.makedirs(self.home)
        copy_tree(template, self.path)
        dosdevices = os.path.join(self.path, "dosdevices")
        types = {}
        for letter, kind in sorted(self.drives.items()):
            folder = self.drive_folder(letter)
            os.makedirs(folder, exist_ok=True)
            os.symlink(folder, os.path.join(dosdevices, letter + ":"))
            types[letter + ":"] = kind
        # T: holds the built programs; declared a network drive so no drive scan ever walks it.
        os.symlink(self.programs_dir, os.path.join(dosdevices, "t:"))
        types["t:"] = "network"
        append_reg(os.path.join(self.path, "system.reg"), r"Software\Wine\Drives", types)
        # A program that opens a DOS device name (aux.exe opens COM1) must not reach this
        # machine's serial ports, which are its console here: every port leads nowhere.
        append_reg(os.path.join(self.path, "system.reg"), r"Software\Wine\Ports",
                   {"COM%d" % n: "/dev/null" for n in range(1, 5)})
        for n in range(1, 5):
            link = os.path.join(dosdevices, "com%d" % n)
            if os.path.lexists(link):
                os.unlink(link)
            os.symlink("/dev/null", link)
        append_reg(os.path.join(self.path, "user.reg"), r"Software\Wine", {"Version": self.version})
        append_reg(os.path.join(self.path, "user.reg"), r"Software\Wine\Drivers", {"Graphics": self.graphics})
        leaks = unsafe_links(self.path)
        if leaks:
            raise RuntimeError("prefix has links out of it: %s" % leaks)
        return self

    def start_server(self):
        """Keeps the wineserver alive between the programs of one test (services need it)."""
        # The server outlives this call: it must not hold our output pipes open (a reader would never see EOF).
        subprocess.run([WINESERVER, "-p"], env=self.env(), check=True, timeout=60, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.server_running = True

    def popen(self, args, display=None, winedebug=None, **kw):
        """Starts a program of the prefix; winedebug replaces the debug channels for it alone."""
        env = self.env(display)
        if winedebug is not None:
            env["WINEDEBUG"] = winedebug
        proc = subprocess.Popen([self.loader] + list(args), env=env, **kw)
        self.started.append(proc)
        return proc

    def run(self, args, display=None, timeout=120, **kw):
        proc = self.popen(args, display=display, **kw)
        try:
            out, err = proc.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            proc.kill()
            out, err = proc.communicate()
            raise
        return subprocess.CompletedProcess(proc.args, proc.returncode, out, err)

    def restart(self):
        """A restart as Windows does it: pending deletions and the rename list are carried out."""
        self.run(["wineboot", "-r"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)

    def stop(self):
        """Stops every process of this prefix and its wineserver, then the processes this object started."""
        subprocess.run([WINESERVER, "-k"], env=self.env(), stderr=subprocess.DEVNULL, timeout=60)
        subprocess.run([WINESERVER, "-w"], env=self.env(), stderr=subprocess.DEVNULL, timeout=60)
        self.server_running = False
        for proc in self.started:
            if proc.poll() is None:
                proc.kill()
                proc.wait()

    def remove(self):
        if os.environ.get("PURGIX_KEEP_PREFIX") != "1":
            shutil.rmtree(self.root, ignore_errors=True)


def _start_x_server(args, env=None):
    """Starts an X server on a free display number (it writes the number to a pipe); returns the
    process and the display name."""
    read_end, write_end = os.pipe()
    proc = subprocess.Popen(args[:1] + ["-displayfd", str(write_end)] + args[1:] + ["-nolisten", "tcp"],
                            pass_fds=(write_end,), env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.time() + 30
    while not number.endswith(b"\n") and time.time() < deadline:
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    return proc, (":" + number.decode().strip()) if number.strip() else None


class Xvfb:
    """A private X display: started on a free number, stopped by its PID. With monitors=2, two
    monitors side by side, as Wine sees them through Xinerama: Xvfb places every screen at the same
    origin, so a nested Xephyr with two screens, drawn on a wide Xvfb, makes them."""

    def __init__(self, size="1024x768x24", monitors=1):
        width, height, depth = (int(v) for v in size.split("x"))
        self.procs = []
        outer = "%dx%dx%d" % (width * monitors, height, depth)
        proc, display = _start_x_server(["Xvfb", "-screen", "0", outer])
        self.procs.append(proc)
        if display and monitors > 1:
            screens = []
            for number in range(monitors):
                screens += ["-screen", "%dx%d+%d+0" % (width, height, number * width)]
            env = dict(os.environ, DISPLAY=display)
            # Without RandR, which would show Wine the one window Xephyr draws in, Wine takes its
            # monitors from Xinerama.
            proc, display = _start_x_server(["Xephyr"] + screens + ["+xinerama", "-extension", "RANDR"], env=env)
            self.procs.append(proc)
        if not display:
            self.stop()
            raise RuntimeError("the X display did not start")
        self.display = display

    def screenshot(self, path):
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        subprocess.run(["/usr/bin/import", "-window", "root", "-display", self.display, path], check=True, timeout=60)
        return path

    def stop(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()


def version_for_test(gtest_filter):
    """Windows version a Windows-side test asks for through its suite name's suffix."""
    suite = gtest_filter.split(".", 1)[0]
    for suffix, version in SUITE_VERSIONS.items():
        if suite.endswith(suffix):
            return version
    return "win7"


def stop_leftovers(build_dir):
    """Stops wineservers and Wine processes whose prefix lies in this build tree (by PID)."""
    build_dir = os.path.abspath(build_dir)
    stopped = 0
    for pid in os.listdir("/proc"):
        if not pid.isdigit() or int(pid) == os.getpid():
            continue
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                environ = f.read().split(b"\0")
        except OSError:
            continue
        for item in environ:
            if item.startswith(b"WINEPREFIX=") and item[11:].decode(errors="replace").startswith(build_dir + "/"):
                try:
                    os.kill(int(pid), signal.SIGKILL)
                    stopped += 1
                except OSError:
                    pass
                break
    return stopped


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "template":
        print(ensure_template(sys.argv[2], tree_arch(sys.argv[2])))
    elif len(sys.argv) == 2 and sys.argv[1] == "x86-unavailable":
        # Exit status 0 (and the reason on standard output) when 32-bit programs cannot run here.
        reason = x86_unavailable()
        if reason:
            print(reason)
        sys.exit(0 if reason else 1)
    elif len(sys.argv) == 3 and sys.argv[1] == "stop-leftovers":
        print("stopped %d leftover Wine processes" % stop_leftovers(sys.argv[2]))
    else:
        sys.exit("usage: winebox.py template BUILD_DIR | stop-leftovers BUILD_DIR | x86-unavailable")
