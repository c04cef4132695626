"""An infected machine for the GUI scenarios: what is planted where, and how the machine is read back.

The plan is data (files, running programs, registry values); the setup program scenario_setup.exe
writes it inside the prefix, and the same plan tells the tests which lines a scan must report and
which files and values must be gone afterwards.
"""
import os
import subprocess

RUN = r"Software\Microsoft\Windows\CurrentVersion\Run"
RUN_SERVICES = r"Software\Microsoft\Windows\CurrentVersion\RunServices"
UNINSTALL = r"SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\rhcjg7j0e38v"
# The same keys in the 32-bit registry view of a 64-bit Windows, as a 64-bit program names them.
RUN32 = r"Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Run"
RUN_SERVICES32 = r"Software\Wow6432Node\Microsoft\Windows\CurrentVersion\RunServices"
UNINSTALL32 = r"SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\rhcjg7j0e38v"
# Where a 32-bit sleeper is put before it is padded into a running 32-bit worm.
SLEEPER32 = "C:\\users\\Public\\Downloads\\sleeper32.exe"
# Keys whose every value and subkey is compared before and after a scan.
WATCHED_KEYS = (r"Software\Microsoft\Windows\CurrentVersion", r"Software\Wow6432Node\Microsoft\Windows\CurrentVersion",
                r"SYSTEM\ControlSet001", r"SYSTEM\ControlSet002", r"SYSTEM\CurrentControlSet\Services")
# Wine's own record of the Linux fonts it found: its font system rewrites it whenever a program
# starts it after a boot, with or without a scan in between.
WINE_OWN_KEYS = (r"Software\Microsoft\Windows\CurrentVersion\Fonts",
                 r"Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Fonts")

TABLE_ENTRY_NAME = "W32/Vorlex.Trojan "  # the walker's checker-table name, trailing blank included
MAIL_NAME = "W32/Nyxem.Worm"
REGISTRY_LINE = "System Registry     W32/Vorlex.Trojan removed"
MEMORY_LINE = "System Memory    W32/Vorlex.Trojan  removed"
RESTART_QUESTION = "The system has to be restarted to remove the virus completely from your system. \n\n Restart now?"
TERMINATE_QUESTION = "Terminate the Scan now?"


def record_name(index):
    return "W32/Vorlex.Bj.Dl.Trojan" if index == 32 else "W32/Vorlex.Ih.Worm"


def removed(path, name):
    return "%s     %s removed" % (path, name)


def unable(path, name):
    return "%s     %s Unable to remove" % (path, name)


def statistics(scanned, infected, removed_count):
    return ([" "] if infected > 0 else []) + [
        "Scanning statistics", "-" * 30, "Total files scanned\t\t:  %d" % scanned,
        "Total files infected\t\t:  %d" % infected, "Total files removed\t\t:  %d" % removed_count]


def walk_key(path):
    """Sort key of a file path in the order a two-pass walk visits it: a folder's files (by name, as
    Wine lists them: case-insensitive) before its subfolders, drives in letter order."""
    parts = path.split("\\")
    key = [(0, parts[0].upper())]
    for folder in parts[1:-1]:
        key.append((1, folder.upper()))
    key.append((0, parts[-1].upper()))
    return key


class Bystander:
    """A clean program that runs through the scan and must still run after it, with the same
    process: named like a worm, or a service whose name a worm copy borrows."""

    def __init__(self, path, program, service=None):
        self.path = path
        self.program = program    # the support program it is a clean copy of
        self.service = service    # service name when it runs as a service


class Sample:
    """One matching file. `held`: kept open by a locker, so it cannot be deleted."""

    def __init__(self, path, index, attrs="", held=False, runs=None, service=None):
        self.path = path
        self.index = index
        self.attrs = attrs
        self.held = held
        self.runs = runs          # program padded into a running sample (purgix_sleeper, purgix_test_service)
        self.service = service    # service name when it runs as a service
        self.name = record_name(index)


class AutorunValue:
    def __init__(self, key, name, data, kind="sz", removed_by=None):
        self.key = key
        self.name = name
        self.data = data
        self.kind = kind
        self.removed_by = removed_by  # the infected path whose check deletes it, "uninstall", or None


class Machine:
    """The plan of one infected machine for one Windows line. With capital_program_files, C:'s
    program folder is named PROGRAM FILES, as old installations spelled it. With wow64, a 64-bit
    Windows that runs 32-bit programs: a running 32-bit worm in SysWOW64 and the worm's values in
    both registry views."""

    def __init__(self, version, capital_program_files=False, wow64=False):
        self.version = version
        self.nine_x = version == "win98"
        self.program_files = "C:\\PROGRAM FILES" if capital_program_files else "C:\\Program Files"
        pf = self.program_files
        sys32 = "C:\\windows\\system32"
        self.hosts = "C:\\windows\\hosts" if self.nine_x else sys32 + "\\drivers\\etc\\hosts"
        # The other place a hosts file could be: a mail file there is no concern of this system's check.
        self.other_hosts = sys32 + "\\drivers\\etc\\hosts" if self.nine_x else "C:\\windows\\hosts"
        service = "vxsvc32" if version == "winxp" else None
        self.worm_sys = Sample(sys32 + "\\vxsvc32.exe", -1, runs="purgix_test_service" if service else "purgix_sleeper",
                               service=service)
        self.worm_tray = Sample("C:\\users\\Public\\Vx Tray\\vxtray.exe", -1, runs="purgix_sleeper")
        self.boot = Sample("C:\\windows\\vxboot.exe", 5)
        # Worms named like parts of the system or like other files: what goes with them must be
        # theirs alone.
        self.host = Sample(sys32 + "\\host.exe", 11)
        self.tool = Sample("C:\\Apps\\tool.exe", 12)
        self.samples = [
            self.worm_sys, self.worm_tray, self.boot, self.host, self.tool,
            Sample(pf + "\\Common Files\\Vx\\deep\\er\\vxlib.dll", 32),
            Sample("C:\\users\\Public\\Documents\\report.exe", 69, attrs="rh"),
            Sample("E:\\PROGRAM FILES\\Vx\\vxe.exe", 18),
            Sample("E:\\Backup\\2019\\old\\photos\\show.scr", 50, attrs="r"),
            Sample("E:\\hidden.exe", 0, attrs="hs"),
            Sample("E:\\Data\\held.exe", 1, held=True),
        ]
        # Programs that must run on: one of the held worm's name elsewhere and, on NT 5.x, a
        # service whose program name a running worm copy in a temporary folder borrows.
        self.bystanders = [Bystander("C:\\Tools\\held.exe", "purgix_sleeper")]
        if version == "winxp":
            self.bystanders.append(Bystander("C:\\Program Files\\Vendor\\vxspool.exe", "purgix_test_service",
                                             service="vxspool"))
            self.samples.append(Sample("C:\\users\\Public\\Temp\\vxspool.exe", -1, runs="purgix_sleeper"))
        # Never walked: a CD-ROM and a removable drive.
        self.untouchable = [Sample("D:\\setup\\vx.exe", 2), Sample("F:\\vx.exe", 3), Sample("F:\\deep\\er\\vx2.exe", 4)]
        # Files one byte or one probe away from a match, and a mail file where no hosts file is looked for.
        self.near_misses = [("C:\\users\\Public\\Documents\\nearly.exe", 0, "SizePlusOne"),
                            ("E:\\nm\\probe.exe", 18, "ProbeByteFlipped"),
                            ("E:\\nm\\short.exe", 69, "SizeMinusOne"),
                            ("C:\\windows\\sections.exe", 2, "TwentyOneSections")]
        self.autorun = [
            AutorunValue(RUN, "VxSys", "vxsvc32.exe -autostart", removed_by=self.worm_sys.path),
            AutorunValue(RUN, "VxTray", '"C:\\USERS\\PUBLIC\\VX TRAY\\VXTRAY.EXE" /background',
                         removed_by=self.worm_tray.path),
            AutorunValue(RUN, "VxBoot", "%SystemRoot%\\vxboot.exe", kind="expand", removed_by=self.boot.path),
            AutorunValue(RUN_SERVICES, "VxService", "vxsvc32.exe", removed_by=self.worm_sys.path),
            AutorunValue(RUN, "SMrhcjg7j0e38v", "C:\\WINDOWS\\rhcjg7j0e38v.exe", removed_by="uninstall"),
            AutorunValue(UNINSTALL, "UninstallString", "C:\\WINDOWS\\rhcjg7j0e38v\\uninstall.exe", removed_by="uninstall"),
            # Values that must survive. A bare name is trusted only for files in a system folder, so
            # the bare name of the tray worm (not in one) stays.
            AutorunValue(RUN, "TrayName", "vxtray.exe"),
            AutorunValue(RUN, "Sound", "SOUNDMAN.EXE"),
            AutorunValue(RUN, "Display", "C:\\Program Files\\Vendor\\display.exe -tray"),
            AutorunValue(RUN, "CtfMon", "%SystemRoot%\\system32\\ctfmon.exe", kind="expand"),
            AutorunValue(RUN_SERVICES, "Spooler", "C:\\windows\\system32\\spool32.exe"),
            AutorunValue(UNINSTALL, "DisplayName", "rhcjg7j0e38v"),
            # Commands that start the worms named like other files, and ones that only look alike.
            AutorunValue(RUN, "HostEntry", "rundll32.exe host.exe,Start", removed_by=self.host.path),
            AutorunValue(RUN, "Tool", '"C:\\APPS\\TOOL.EXE" -q', removed_by=self.tool.path),
            AutorunValue(RUN, "SvcHostLike", "svchost.exe -k netsvcs"),
            AutorunValue(RUN_SERVICES, "NetHost", "\\\\server\\share\\host.exe"),
            AutorunValue(RUN, "ToolBackup", "C:\\Apps\\tool.exe.bak\\helper.exe"),
        ]
        if wow64:
            worm32 = Sample("C:\\windows\\syswow64\\vxwow.exe", -1, runs=SLEEPER32)
            self.samples.append(worm32)
            self.autorun += [
                # A 32-bit worm and a 32-bit dropper write the 32-bit view.
                AutorunValue(RUN32, "VxWow", "vxwow.exe", removed_by=worm32.path),
                AutorunValue(RUN32, "VxTray32", '"C:\\Users\\Public\\Vx Tray\\vxtray.exe" -b',
                             removed_by=self.worm_tray.path),
                AutorunValue(RUN_SERVICES32, "VxBoot32", "%SystemRoot%\\vxboot.exe", kind="expand",
                             removed_by=self.boot.path),
                AutorunValue(RUN32, "SMrhcjg7j0e38v", "C:\\WINDOWS\\rhcjg7j0e38v.exe", removed_by="uninstall"),
                AutorunValue(UNINSTALL32, "UninstallString", "C:\\WINDOWS\\rhcjg7j0e38v\\uninstall.exe",
                             removed_by="uninstall"),
                AutorunValue(RUN32, "Sound32", "SOUNDMAN.EXE"),
                AutorunValue(RUN32, "SvcHostLike32", "svchost.exe -k netsvcs"),
                AutorunValue(RUN_SERVICES32, "Wow64Tool", "C:\\Apps\\tool.exe.bak\\helper.exe"),
            ]
        # A 9x machine's rename list often holds entries of its own, in a section followed by others;
        # the entry for the held file must join its section without disturbing the rest.
        self.rename_list_path = "C:\\windows\\wininit.ini"
        self.rename_list = (b"[Settings]\r\nKeep=1\r\n[rename]\r\nNUL=C:\\WINDOWS\\OLDSETUP.TMP\r\n"
                            b"[Other]\r\nX=1\r\n")
        self.deleted_by_rename_list = "C:\\windows\\oldsetup.tmp"
        # Ordinary files (written from Linux) that must come through byte for byte. The programs
        # that autorun values start are no real programs: a restart runs those values, and Wine
        # hands an "MZ" file without a PE header to its DOS box, which leaves a temporary file of
        # its own behind.
        self.clean_files = {
            "C:\\users\\Public\\Documents\\letter.txt": b"Dear friend,\r\nnothing to see here.\r\n",
            pf + "\\Vendor\\display.exe": b"display " + bytes(range(256)) * 40,
            "E:\\Data\\notes.txt": b"notes\r\n",
            "E:\\PROGRAM FILES\\Vx\\readme.txt": b"read me\r\n",
            "E:\\Backup\\2019\\old\\photos\\holiday.jpg": bytes(range(200)) * 300,
            "D:\\setup\\readme.txt": b"cd\r\n",
            # A folder named after the running tray worm, right beside it.
            "C:\\users\\Public\\Vx Tray\\vxtray.data\\settings.ini": b"[tray]\r\n",
            "C:\\Apps\\tool.exe.bak\\helper.exe": b"helper " + bytes(range(64)) * 10,
        }

    def system_files(self):
        """Files of the system itself that a scan may change: the 9x rename list and what it deletes."""
        if not self.nine_x:
            return {}
        return {self.rename_list_path: self.rename_list, self.deleted_by_rename_list: b"left over by an old setup\r\n"}

    def rename_list_with(self, entries):
        """The rename list once `entries` (lines without their ends) joined the end of its [rename]
        section, right before the section that follows it."""
        head, tail = self.rename_list.split(b"[Other]", 1)
        return head + b"".join(b"%s\r\n" % e.encode() for e in entries) + b"[Other]" + tail

    def learn_records(self, commands, answers):
        """A running sample matches the record its program could be padded to; setup names it."""
        by_path = {s.path: s for s in self.samples}
        for command, (_, answer) in zip(commands, answers):
            if command[0] == "runnable":
                sample = by_path[command[1]]
                sample.index = int(answer)
                sample.name = record_name(sample.index)

    def running(self):
        return [s for s in self.samples if s.runs]

    def held(self):
        return [s for s in self.samples if s.held]

    def setup_commands(self):
        """The scenario_setup commands that build the machine, in order (files before the programs
        that run or hold them)."""
        cmds = []
        for s in self.samples + self.untouchable:
            if s.runs:
                cmds.append(("runnable", s.path, s.runs))
            else:
                cmds.append(("sample", s.path, str(s.index), s.attrs) if s.attrs else ("sample", s.path, str(s.index)))
        for path, index, kind in self.near_misses:
            cmds.append(("nearmiss", path, str(index), kind))
        cmds.append(("hosts", self.hosts))
        cmds.append(("hosts", self.other_hosts))
        for v in self.autorun:
            cmds.append(("reg", v.key, v.name, v.kind, v.data))
        for b in self.bystanders:
            cmds.append(("program", b.path, b.program))
        for s in self.running():
            cmds.append(("service", s.service, s.path) if s.service else ("start", '"%s"' % s.path))
        for b in self.bystanders:
            cmds.append(("service", b.service, b.path) if b.service else ("start", '"%s"' % b.path))
        for s in self.held():
            cmds.append(("lock", s.path))
        return cmds


class SetupProgram:
    """scenario_setup.exe in the session's prefix; one command at a time, answers read line by line
    (programs it starts may inherit its output, so its end of file is never waited for)."""

    def __init__(self, session):
        # Paths go in as UTF-8 (the program reads them so where it must); its answers are ANSI.
        self.proc = session.prefix.popen([r"T:\bin\scenario_setup.exe"], display=session.xvfb.display,
                                         stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1,
                                         encoding="utf-8", errors="replace")

    def do(self, *fields):
        self.proc.stdin.write("\t".join(fields) + "\n")
        self.proc.stdin.flush()
        extra = []
        while True:
            line = self.proc.stdout.readline()
            if line == "":
                raise AssertionError("scenario_setup ended during %r" % (fields,))
            line = line.rstrip("\n")
            if line.startswith("ok"):
                return extra, line[3:]
            if line.startswith("error"):
                raise AssertionError("scenario_setup %r: %s" % (fields, line))
            extra.append(line)

    def close(self):
        self.proc.stdin.close()
        self.proc.wait(timeout=120)


def run_setup(session, commands):
    """Runs commands in one setup program; returns the answers in order."""
    program = SetupProgram(session)
    try:
        return [program.do(*c) for c in commands]
    finally:
        program.close()


def registry_snapshot(session):
    """Every value below the watched keys: {(key, name): (type, hex data)} plus the set of keys."""
    answers = run_setup(session, [("regdump", k) for k in WATCHED_KEYS])
    values, keys = {}, set()
    own = [k.upper() for k in WINE_OWN_KEYS]
    for extra, _ in answers:
        for line in extra:
            fields = line.split("\t")
            key = fields[1].upper()
            if any(key == k or key.startswith(k + "\\") for k in own):
                continue
            if fields[0] == "key":
                keys.add(fields[1].upper())
            elif fields[0] == "value":
                values[(fields[1].upper(), fields[2].upper())] = (fields[3], fields[4])
    return values, keys


def pending_deletions(session):
    extra, _ = run_setup(session, [("pending",)])[0]
    return [line.split("\t")[1:] for line in extra]


def count_files(session, letters):
    return sum(len(files) for letter in letters for _, _, files in os.walk(session.prefix.drive_folder(letter)))


def wine_processes(session):
    """Windows command lines of the processes of this prefix, seen from Linux."""
    found = {}
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                if ("WINEPREFIX=" + session.prefix.path).encode() + b"\0" not in f.read():
                    continue
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                found[int(pid)] = f.read().replace(b"\0", b" ").decode(errors="replace").strip()
        except OSError:
            continue
    return found


def running_programs(session, path):
    return [pid for pid, cmd in wine_processes(session).items() if path.lower() in cmd.lower()]


def wait_booted(session):
    """The first program of a fresh wineserver starts its boot, which goes on in the background and
    carries out any rename list it finds: nothing is planted before it is over. An answer from the
    automation program shows that Wine has started it, and with it the boot."""
    session.auto("exists", "no window has this title")
    session.wait_for(lambda: not running_programs(session, "wineboot"), timeout=120, what="the boot to finish")
