"""Judges a Wine relay trace of one program: the calls from its own image that the 9x line refuses.

    relay_judge.py TRACE PROGRAM.exe SYSTEM32_FOLDER

The trace is read line by line (it runs to tens of megabytes). A call counts when it comes from the
program's process and its return address lies inside the program's image (where the loader put
it .. + SizeOfImage), so the statically linked runtime's calls count too and those of Wine's own
libraries do not. Each counted call is held against nine_x_rules.Rules; a function no row of the
audit names is a fault as well, so a new call cannot slip past unexamined.

Two kinds of call cannot happen on the 9x line at all and are counted, not judged: calls into a
library it lacks (psapi.dll never loads there) and calls of a function it lacks that the program
looked up with GetProcAddress (the lookup gives NULL there). What the program does instead is the
strict build's to try.
"""
import collections
import os
import re
import shutil
import struct
import subprocess
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import nine_x_rules  # noqa: E402

# "0020:0024:Call KERNEL32.ReadFile(0000004c,0032f4c8,00000040,0032f4c4,00000000) ret=00401234"
CALL = re.compile(r"^([0-9a-f]+):[0-9a-f]+:Call ([A-Za-z0-9_.]+?)\.([A-Za-z0-9_@?$]+)\((.*)\) ret=([0-9a-f]+)$")
# "0020:0024:trace:loaddll:build_module Loaded L"F:\\Purgix.exe" at 00400000: native"
# The looked-up name of "Call KERNEL32.GetProcAddress(7b600000,00426c20 "IsWow64Process") ret=..."
LOOKED_UP = re.compile(r'^[0-9a-fA-F]+,[0-9a-fA-F]+ "([^"\\]+)"$')
LOADED = re.compile(r'^([0-9a-f]+):[0-9a-f]+:trace:loaddll:\w+ Loaded L"(.*)" at ([0-9A-Fa-f]+): native')


def image_layout(program):
    """(ImageBase, SizeOfImage) from the PE32 header of the program file."""
    with open(program, "rb") as f:
        head = f.read(4096)
    at = struct.unpack_from("<I", head, 0x3C)[0]
    if head[at:at + 4] != b"PE\0\0" or struct.unpack_from("<H", head, at + 24)[0] != 0x10B:
        raise ValueError("%s is not a 32-bit PE file" % program)
    return struct.unpack_from("<I", head, at + 24 + 28)[0], struct.unpack_from("<I", head, at + 24 + 56)[0]


def argument_values(text):
    """The leading number of every argument of a relay line; string arguments print as
    `pointer "text"` and their text may hold commas, quotes and escapes."""
    values, current, quoted, escaped = [], [], False, False
    for c in text:
        if quoted:
            if escaped:
                escaped = False
            elif c == "\\":
                escaped = True
            elif c == '"':
                quoted = False
            continue
        if c == '"':
            quoted = True
        elif c == ",":
            values.append("".join(current))
            current = []
        else:
            current.append(c)
    if text:
        values.append("".join(current))
    numbers = []
    for v in values:
        match = re.match(r"\s*([0-9a-fA-F]+)", v)
        numbers.append(int(match.group(1), 16) if match else 0)
    return numbers


def forwarded_names(system32):
    """{forward target: exported name} of the system libraries whose exports Wine forwards
    (kernel32's InitializeCriticalSection is ntdll's RtlInitializeCriticalSection in a trace)."""
    names = {}
    try:
        import pefile
    except ImportError:
        return names
    for dll in ("kernel32.dll", "advapi32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "msvcrt.dll"):
        path = os.path.join(system32, dll)
        if not os.path.exists(path):
            continue
        pe = pefile.PE(path, fast_load=True)
        pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXPORT"]])
        for sym in getattr(getattr(pe, "DIRECTORY_ENTRY_EXPORT", None), "symbols", []):
            if sym.forwarder and sym.name:
                names.setdefault(sym.forwarder.decode().split(".", 1)[1], sym.name.decode())
        pe.close()
    return names


class Verdict:
    def __init__(self):
        self.counted = collections.Counter()          # function -> calls from the image
        self.faults = collections.OrderedDict()       # (function, why, ret) -> [count, first line]
        self.not_judged = collections.Counter()       # calls that cannot happen on the 9x line

    def fault(self, function, why, ret, line):
        key = (function, why, ret)
        entry = self.faults.setdefault(key, [0, line.strip()])
        entry[0] += 1

    def report(self, symbols=None):
        lines = []
        for (function, why, ret), (count, first) in self.faults.items():
            where = symbols(ret) if symbols else ""
            lines.append("%s from %08x%s, %d time%s: %s\n    %s" % (function, ret, " (%s)" % where if where else "",
                                                                  count, "" if count == 1 else "s", why, first))
        return "\n".join(lines)


def judge(trace, program, system32, rules=None):
    rules = rules or nine_x_rules.Rules()
    forwards = forwarded_names(system32)
    size = image_layout(program)[1]
    name = os.path.basename(program).lower()
    absent_libraries = {lib[:-4].upper() for lib in rules.absent_libraries}
    verdict = Verdict()
    images = {}  # process id -> (base, end) of the program's image in that process
    looked_up = set()  # names the program asked GetProcAddress for
    with open(trace, encoding="utf-8", errors="replace") as f:
        for line in f:
            if ":Call " not in line:
                loaded = LOADED.match(line)
                if loaded and loaded.group(2).replace("\\\\", "\\").lower().endswith("\\" + name):
                    base = int(loaded.group(3), 16)
                    images[loaded.group(1)] = (base, base + size)
                continue
            call = CALL.match(line.rstrip("\n"))
            if not call or call.group(1) not in images:
                continue
            base, end = images[call.group(1)]
            ret = int(call.group(5), 16)
            if not base <= ret < end:
                continue
            library, function = call.group(2), call.group(3)
            if library.upper() == "NTDLL" and function in forwards:
                library, function = "KERNEL32", forwards[function]
            verdict.counted[function] += 1
            if function == "GetProcAddress":
                name = LOOKED_UP.match(call.group(4))
                if name:
                    looked_up.add(name.group(1))
            if library.upper() in absent_libraries or (function in rules.absent and function in looked_up):
                verdict.not_judged[function] += 1
                continue
            why = rules.verdict(library, function, argument_values(call.group(4)))
            if why is None and function not in rules.audited:
                why = "named by no row of docs/legacy-windows.md: check it on 95/98/Me, then add its row"
            if why:
                verdict.fault("%s.%s" % (library, function), why, ret - base, line)
    return verdict


def symbolizer(program):
    """A function giving the symbol around an image offset, from the unstripped program's symbols."""
    nm = shutil.which("i686-w64-mingw32-nm")
    if not nm:
        return None
    listing = subprocess.run([nm, "-n", "-C", program], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             text=True, timeout=120).stdout
    image_base = image_layout(program)[0]
    symbols = []
    for row in listing.splitlines():
        parts = row.split(" ", 2)
        if len(parts) == 3 and parts[1].lower() == "t":
            symbols.append((int(parts[0], 16), parts[2]))

    def lookup(offset):
        address = image_base + offset
        best = ""
        for at, symbol in symbols:
            if at > address:
                break
            best = symbol
        return best
    return lookup


def main(argv):
    if len(argv) != 3:
        print(__doc__)
        return 2
    verdict = judge(*argv)
    print("calls from the image: %d of %d functions" % (sum(verdict.counted.values()), len(verdict.counted)))
    if verdict.faults:
        print(verdict.report(symbolizer(argv[1])))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
