"""The 9x line's rules that Wine does not enforce, as one table drawn from docs/legacy-windows.md.

The relay judge (relay_judge.py) holds a traced run of the shipped exe against this table, and the
strict test build takes its refusals from the header this module writes:

    nine_x_rules.py header OUT.h     the C++ lists of the strict build (stubs, absent functions)
    nine_x_rules.py show             the table as the judge sees it

What a row of the audit says on 95/98/Me decides: "stub" (exported, always fails), "absent" (not
exported; reachable only through GetProcAddress, which returns NULL), "yes". The release check's
own lists add what the audit states in words: the wide functions Windows 95 implements, the
functions newer than the oldest systems and the libraries the 9x line lacks. The rules on
arguments are the audit's restrictions ("no OVERLAPPED on disk files", ...), written out below.
"""
import os
import re
import sys

sys.dont_write_bytecode = True   # keep the source folders free of caches
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "release"))
import check_dist  # noqa: E402

AUDIT = check_dist.AUDIT
FILE_SHARE_DELETE = 0x4
FILE_FLAG_OVERLAPPED = 0x40000000
HKEY_PERFORMANCE_DATA = 0x80000004


def _overlapped(args):
    return len(args) > 4 and args[4] != 0


def _create_flags(args):
    return len(args) > 5 and (args[2] & FILE_SHARE_DELETE or args[5] & FILE_FLAG_OVERLAPPED)


def _performance_key(args):
    return bool(args) and args[0] == HKEY_PERFORMANCE_DATA


# Calls the 9x line refuses for their arguments: function -> (test on the argument values, why).
# The strict build refuses the same calls (tests/legacy/nine_x_refusals.cpp), but for the
# performance data, which the program is only to read on the NT line.
ARGUMENT_RULES = {
    "ReadFile": (_overlapped, "an OVERLAPPED position: the 9x line refuses it on a disk file"),
    "WriteFile": (_overlapped, "an OVERLAPPED position: the 9x line refuses it on a disk file"),
    "CreateFileA": (_create_flags, "FILE_SHARE_DELETE or FILE_FLAG_OVERLAPPED: the 9x line knows neither"),
    "RegOpenKeyExA": (_performance_key, "HKEY_PERFORMANCE_DATA: the 9x line has no performance data"),
    "RegQueryValueExA": (_performance_key, "HKEY_PERFORMANCE_DATA: the 9x line has no performance data"),
}
STRICT_ARGUMENT_RULES = ("CreateFileA", "ReadFile", "WriteFile")

# Functions called so often in a scan that tracing them would make the trace several times larger.
# Each must be audited as present on the 9x line and be named by no rule, or the table refuses it.
QUIET = ("GetWindowLongA", "CallWindowProcA", "PeekMessageA", "SendMessageA", "SetWindowTextA", "GetSysColor",
         "SetBkColor", "SetBkMode", "SetTextColor", "FindNextFileA", "strlen", "memcpy", "memmove", "strrchr")

# Libraries whose functions are named in relay lines ("KERNEL32.ReadFile"); a wide name in any of
# them is a stub on the 9x line unless Windows 95 implements it.
SYSTEM_LIBRARIES = {"KERNEL32", "KERNELBASE", "USER32", "GDI32", "ADVAPI32", "SHELL32", "COMCTL32", "NTDLL"}


def _cells(line):
    return [c.strip() for c in re.split(r"(?<!\\)\|", line.strip().strip("|"))]


def load_looked_up(path=AUDIT):
    """{function: state on the 9x line} from the audit's table of functions looked up at run time.

    A row's first cell names the module and then its functions in backquotes; the 9x cell starts
    with yes, stub or absent, or names in backquotes the only ones of the row that exist there."""
    found = {}
    inside = False
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#"):
                inside = line.strip().lower() == "## looked up at run time"
                continue
            if not inside or not line.startswith("|"):
                continue
            cells = _cells(line)
            names = re.findall(r"`([^`]+)`", cells[0])
            if len(cells) < 3 or len(names) < 2 or not re.search(r"\.(dll|exe)$", names[0], re.IGNORECASE):
                continue
            functions = names[1:]
            word = cells[1].split()[0].lower().strip(",;:") if cells[1] else ""
            present = re.findall(r"`([^`]+)`", cells[1])
            for name in functions:
                if word in ("yes", "stub", "absent"):
                    found[name] = word
                elif present:
                    found[name] = "yes" if name in present else "absent"
    return found


class Rules:
    """The table: what the 9x line does with each function the program may reach."""

    def __init__(self, audit_path=AUDIT):
        imported = check_dist.load_audit(audit_path)
        self.on_9x = {}
        for functions in imported.values():
            for name, (nine_x, _nt4) in functions.items():
                self.on_9x[name] = nine_x
        for name, state in load_looked_up(audit_path).items():
            self.on_9x.setdefault(name, state)
        self.stubs = sorted(n for n, s in self.on_9x.items() if s == "stub")
        newer = {n for n, why in check_dist.NEWER_THAN_OLDEST.items() if why.startswith("only")}
        self.absent = sorted(newer | {n for n, s in self.on_9x.items() if s == "absent"})
        self.absent_libraries = sorted(d.lower() for d, why in check_dist.NOT_EVERYWHERE.items() if "9x" in why)
        self.audited = set(self.on_9x)
        faults = [n for n in QUIET if self.on_9x.get(n) != "yes" or n in ARGUMENT_RULES]
        if faults:
            raise ValueError("quiet functions the audit does not give as present on 9x, or that a rule names: %s" %
                             ", ".join(faults))
        missing = [n for n in STRICT_ARGUMENT_RULES if n not in ARGUMENT_RULES]
        if missing:
            raise ValueError("strict argument rules without a judge rule: %s" % ", ".join(missing))

    def is_wide_stub(self, library, function):
        """A wide-character function of a system library that Windows 95 only stubs."""
        return (library.upper() in SYSTEM_LIBRARIES and re.search(r"[a-z0-9]W$", function) is not None
                and function not in check_dist.WIDE_ON_WINDOWS_95)

    def verdict(self, library, function, args):
        """Why the 9x line refuses this call, or None. args: the integer values of the arguments.
        The caller leaves out absent functions the program looked up at run time (see relay_judge)."""
        if function in self.absent:
            return "absent on the 9x line and not looked up: its loader refuses a program that imports it"
        if function in self.stubs or function.startswith("MoveFileEx"):
            return "a stub on the 9x line that always fails"
        if self.is_wide_stub(library, function):
            return "a wide-character function the 9x line only stubs"
        if library.upper() == "MSVCRT" and check_dist.MSVCRT_WIDE_FILE_FUNCTION.match(function):
            return "wide file names, which the 9x line cannot open"
        rule = ARGUMENT_RULES.get(function)
        if rule and rule[0](args):
            return rule[1]
        return None


def write_header(rules, path):
    """The strict build's lists. A stub of the table without its refusal does not compile."""
    lines = ["// The 9x line's refusals for the strict test build, written by tests/legacy/nine_x_rules.py from",
             "// docs/legacy-windows.md: edit the audit, not this file.",
             "#pragma once",
             "",
             "// Every function the audit gives as a stub on 95/98/Me, and every one whose arguments it restricts.",
             "#define PURGIX_NINE_X_REFUSED(X) %s" % " ".join("X(%s)" % n for n in
                                                              rules.stubs + list(STRICT_ARGUMENT_RULES)),
             "",
             "#ifndef PURGIX_NINE_X_REFUSALS_DEFINED",
             "// Calls of the code under test go to the refusals (nine_x_refusals.cpp defines them)."]
    lines += ["#define %s NineX_%s" % (n, n) for n in rules.stubs + list(STRICT_ARGUMENT_RULES)]
    lines += ["#endif",
              "",
              "// Entry points GetProcAddress does not find on the 9x line, and libraries it lacks.",
              "#define PURGIX_NINE_X_ABSENT_FUNCTIONS %s" % ", ".join('"%s"' % n for n in rules.absent),
              "#define PURGIX_NINE_X_ABSENT_LIBRARIES %s" % ", ".join('"%s"' % n for n in rules.absent_libraries),
              ""]
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


def main(argv):
    rules = Rules()
    if len(argv) == 2 and argv[0] == "header":
        write_header(rules, argv[1])
        return 0
    if argv == ["show"]:
        print("stubs:", " ".join(rules.stubs))
        print("absent:", " ".join(rules.absent))
        print("absent libraries:", " ".join(rules.absent_libraries))
        print("argument rules:", " ".join(sorted(ARGUMENT_RULES)))
        print("quiet in the trace:", " ".join(QUIET))
        return 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
