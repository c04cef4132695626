#!/usr/bin/python3
"""Checks the release folder `make dist` writes: the four programs, their headers, imports, resources and sums.

Usage: check_dist.py [DIST_FOLDER] [--ca CHAIN.pem]   (default build/dist; exit status 1 when a check fails)

Purgix-x86.exe is the program for every 32-bit Windows from the 9x line and NT 4 on, so it must
carry a subsystem version those systems accept and import nothing their system libraries lack
(such functions are loaded by name at run time, or not used). Its imports are held against the
audit in docs/legacy-windows.md: every imported function must have a row there, none may be marked
absent on 95/98/Me or NT 4, no wide-character function may be imported that the 9x line only
stubs, and no numeric resource ID may exceed 0x7FFF. Purgix-x64.exe is for 64-bit Windows. Both are
stripped GUI programs that import from five system libraries alone (whatever else they need they
load by full path at run time), carry the last commit's date and a correct checksum; the x64 one
has a load-configuration record that keeps its imports in the system folder. PurgixCmd-x86.exe
and PurgixCmd-x64.exe, the console programs, are held to the same rules, as console programs whose
only resource is their version.

Signed exes are verified against CHAIN.pem (osslsigncode verify): SHA-256, the program's name and
the maker's site in the signature, and, where make_dist kept them in DIST_FOLDER-unsigned, the
signature's removal giving back the unsigned exe byte for byte. A signed exe without --ca, or an
unsigned one with it, is a fault: the check must be able to say which signatures it vouches for.
"""
import hashlib
import os
import re
import struct
import subprocess
import sys

import pefile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PE_RESOURCES = os.path.join(ROOT, "tools", "artwork", "pe_resources.py")
sys.path.insert(0, os.path.dirname(PE_RESOURCES))
sys.path.insert(0, os.path.join(ROOT, "tools"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_resources import Reader, load_pe, parse_directory, resources, section_block  # noqa: E402
import make_dist  # noqa: E402
import signatures  # noqa: E402
import source_date  # noqa: E402

IMAGE_FILE_EXECUTABLE_IMAGE, IMAGE_FILE_32BIT_MACHINE, IMAGE_FILE_DLL = 0x0002, 0x0100, 0x2000
IMAGE_SUBSYSTEM_WINDOWS_GUI, IMAGE_SUBSYSTEM_WINDOWS_CUI = 2, 3
# name -> (machine, optional-header magic, whether it must load on the oldest 32-bit systems, subsystem)
PROGRAMS = {"Purgix-x86.exe": (0x14C, 0x10B, True, IMAGE_SUBSYSTEM_WINDOWS_GUI),
            "Purgix-x64.exe": (0x8664, 0x20B, False, IMAGE_SUBSYSTEM_WINDOWS_GUI),
            "PurgixCmd-x86.exe": (0x14C, 0x10B, True, IMAGE_SUBSYSTEM_WINDOWS_CUI),
            "PurgixCmd-x64.exe": (0x8664, 0x20B, False, IMAGE_SUBSYSTEM_WINDOWS_CUI)}
# The system's own libraries, present on every Windows the programs are for (compared in upper case).
# Only these: Windows loads them from the system folder before any code of the program runs,
# whatever lies beside the program (known DLLs on the NT line, always loaded on the 9x line).
SYSTEM_DLLS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL", "MSVCRT.DLL"}
LOAD_CONFIG_ENTRY = 10
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
DEPENDENT_LOAD_FLAGS_AT = 78  # in the 64-bit load-configuration record
PROGRAM_NAME = "Purgix"
VERSION_HEADER = os.path.join(ROOT, "src", "core", "product_version.h")
# Functions a program for the 9x line and NT 4 must not import: the loader refuses the whole
# program on a system whose library lacks one. Value: where the function first appeared.
NEWER_THAN_OLDEST = {
    "GetTickCount64": "only from Windows Vista on",
    "InitializeCriticalSectionEx": "only from Windows Vista on",
    "QueryFullProcessImageNameA": "only from Windows Vista on",
    "FlsAlloc": "only from Windows Server 2003 on", "FlsFree": "only from Windows Server 2003 on",
    "FlsGetValue": "only from Windows Server 2003 on", "FlsSetValue": "only from Windows Server 2003 on",
    "AddVectoredExceptionHandler": "only from Windows XP on",
    "RemoveVectoredExceptionHandler": "only from Windows XP on",
    "GetModuleHandleExA": "only from Windows XP on", "GetModuleHandleExW": "only from Windows XP on",
    "GetProcessImageFileNameA": "only from Windows XP on",
    "GetFileSizeEx": "only from Windows 2000 on", "SetFilePointerEx": "only from Windows 2000 on",
    "TryEnterCriticalSection": "only on the NT line",
    "GetLongPathNameA": "not on NT 4.0",
    "CreateToolhelp32Snapshot": "not on NT 4.0", "Process32First": "not on NT 4.0", "Process32Next": "not on NT 4.0",
    "Module32First": "not on NT 4.0", "Module32Next": "not on NT 4.0",
}
# Libraries that some generations lack altogether (loaded by name at run time instead).
NOT_EVERYWHERE = {"PSAPI.DLL": "not on the 9x line"}
# The audit of every function the x86 program may import, with its availability on the oldest systems.
AUDIT = os.path.join(ROOT, "docs", "legacy-windows.md")
# The wide-character functions Windows 95 implements for real (Microsoft KB 210341); every other
# wide function of the system libraries is a stub there that fails. The C runtime's own wide
# string functions (wcslen) are plain code and not concerned; its wide file functions call the stubs.
WIDE_ON_WINDOWS_95 = {
    "EnumResourceLanguagesW", "EnumResourceNamesW", "EnumResourceTypesW", "ExtTextOutW", "FindResourceW",
    "FindResourceExW", "GetCharWidthW", "GetCommandLineW", "GetTextExtentPoint32W", "GetTextExtentPointW",
    "lstrlenW", "MessageBoxExW", "MessageBoxW", "TextOutW",
}
# The C runtime's functions that hand wide file names, paths or environment strings to the system.
MSVCRT_WIDE_FILE_FUNCTION = re.compile(
    r"_w(access|chdir|chmod|creat|exec|fdopen|findfirst|findnext|fopen|freopen|fsopen|fullpath|getcwd|getdcwd|"
    r"getenv|mkdir|mktemp|open|popen|putenv|remove|rename|rmdir|searchenv|setlocale|sopen|spawn|stat|system|"
    r"tempnam|tmpnam|unlink|utime)")
# Numeric resource IDs above this make the 9x loader refuse the module (Microsoft KB 137248).
LARGEST_RESOURCE_ID_ON_9X = 0x7FFF


def load_audit(path):
    """{DLL: {function: (on the 9x line, on NT 4)}} from the audit tables of docs/legacy-windows.md.

    A table belongs to the DLL named by the last heading above it ("### KERNEL32.DLL"); a row's
    first cell names one or more functions in backquotes, the next two cells start with "yes",
    "stub" (exported, always fails) or "absent" (not exported).
    """
    audit = {}
    dll = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            heading = re.fullmatch(r"#+\s+([A-Za-z0-9_]+\.DLL)\s*", line.strip(), re.IGNORECASE)
            if heading:
                dll = heading.group(1).upper()
                continue
            if line.startswith("#"):
                dll = None
                continue
            cells = [c.strip() for c in re.split(r"(?<!\\)\|", line.strip().strip("|"))] if line.startswith("|") else []
            if dll is None or len(cells) < 3:
                continue
            names = re.findall(r"`([^`]+)`", cells[0])
            on_9x, on_nt4 = (c.split()[0].lower().strip(",;:") if c else "" for c in cells[1:3])
            for name in names:
                audit.setdefault(dll, {})[name] = (on_9x, on_nt4)
    return audit


def resource_ids(data):
    """Every numeric resource type and name ID of a PE file."""
    ids = []
    for rtype, entries in resources(data).items():
        ids += [key for key in [rtype, *entries] if isinstance(key, int)]
    return ids


def check_oldest_systems(name, pe, data, faults):
    """What the 9x line and NT 4 require of the x86 program beyond loading its libraries."""
    if pe["subsystem_version"] > (4, 0):
        faults.append("%s: subsystem version %d.%d: the 9x line and NT 4 load no program above 4.0" %
                      (name, *pe["subsystem_version"]))
    try:
        audit = load_audit(AUDIT)
    except OSError as e:
        faults.append("%s: the audit cannot be read: %s" % (name, e))
        audit = {}
    for dll, functions in sorted(pe["imports"].items()):
        if dll in NOT_EVERYWHERE:
            faults.append("%s: imports %s (%s)" % (name, dll, NOT_EVERYWHERE[dll]))
        audited = audit.get(dll, {})
        for function in functions:
            if function in NEWER_THAN_OLDEST:
                faults.append("%s: imports %s!%s (%s): the program would not load on older systems" %
                              (name, dll, function, NEWER_THAN_OLDEST[function]))
            if dll != "MSVCRT.DLL" and re.search(r"[a-z0-9]W$", function) and function not in WIDE_ON_WINDOWS_95:
                faults.append("%s: imports %s!%s, a wide-character function the 9x line only stubs" %
                              (name, dll, function))
            if dll == "MSVCRT.DLL" and MSVCRT_WIDE_FILE_FUNCTION.match(function):
                faults.append("%s: imports %s!%s, whose wide file names the 9x line cannot open" %
                              (name, dll, function))
            if function not in audited:
                faults.append("%s: imports %s!%s, which %s does not cover: check it on 95/98/Me and NT 4, "
                              "then add its row" % (name, dll, function, os.path.relpath(AUDIT, ROOT)))
                continue
            for system, availability in zip(("95/98/Me", "NT 4"), audited[function]):
                if availability not in ("yes", "stub"):
                    faults.append("%s: imports %s!%s, which the audit gives as %r on %s" %
                                  (name, dll, function, availability, system))
    try:
        too_large = sorted({i for i in resource_ids(data) if i > LARGEST_RESOURCE_ID_ON_9X})
    except ValueError as e:
        faults.append("%s: resources unreadable: %s" % (name, e))
        too_large = []
    if too_large:
        faults.append("%s: resource IDs %s exceed 0x7FFF: the 9x loader refuses the program" %
                      (name, ", ".join("%d" % i for i in too_large)))


def imports_of(pe):
    """{DLL: [function or #ordinal]} from the import table. pefile leaves out, without a warning,
    a library or function whose name it finds implausible; such a gap is a fault here, so that
    nothing imported escapes the audit."""
    directory = parse_directory(pe, "IMAGE_DIRECTORY_ENTRY_IMPORT")
    if directory is None:
        return {}
    libraries = getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])
    thunk = 8 if pe.PE_TYPE == pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS else 4

    def in_a_row(rvas, start, size):
        """Whether entries of `size` bytes lie at `rvas` one after another from `start`, up to a zero one."""
        end = start + size * len(rvas)
        return rvas == list(range(start, end, size)) and not any(section_block(pe, end, size))

    descriptors = [pe.get_rva_from_offset(lib.struct.get_file_offset()) for lib in libraries]
    if not in_a_row(descriptors, directory.VirtualAddress, 20):
        raise ValueError("the import table holds a library none of whose functions can be read")
    imports = {}
    for lib in libraries:
        dll = lib.dll.decode("ascii", "replace").upper()
        table = lib.struct.OriginalFirstThunk or lib.struct.FirstThunk
        if not in_a_row([f.thunk_rva for f in lib.imports], table, thunk):
            raise ValueError("the import table holds a function of %s whose name cannot be read" % dll)
        imports.setdefault(dll, []).extend("#%d" % f.ordinal if f.import_by_ordinal else f.name.decode("ascii")
                                           for f in lib.imports)
    return imports


def parse_pe(data):
    """The header fields, section names and imports ({DLL: [function or #ordinal]}) of a PE file."""
    pe = load_pe(data)
    symtab, nsymbols = pe.FILE_HEADER.PointerToSymbolTable, pe.FILE_HEADER.NumberOfSymbols
    sections = []
    for section in pe.sections:
        name = section.Name.rstrip(b"\0").decode("ascii", "replace")
        if re.fullmatch(r"/[0-9]+", name) and symtab:
            # A longer name (.eh_frame, .debug_info) lives in the string table after the symbols,
            # which pefile does not read.
            name = Reader(data).text(symtab + 18 * nsymbols + int(name[1:]))
        sections.append(name)
    imports = imports_of(pe)
    header = pe.OPTIONAL_HEADER
    return {"machine": pe.FILE_HEADER.Machine, "characteristics": pe.FILE_HEADER.Characteristics,
            "magic": header.Magic, "subsystem": header.Subsystem,
            "subsystem_version": (header.MajorSubsystemVersion, header.MinorSubsystemVersion),
            "symbols": (symtab, nsymbols), "sections": sections, "imports": imports,
            "timestamp": pe.FILE_HEADER.TimeDateStamp, "checksum": (header.CheckSum, pe.generate_checksum()),
            "load_config": load_config_of(pe), "signed": signatures.is_signed(pe)}


def load_config_of(pe):
    """(directory size, the record's own Size field, its DependentLoadFlags) of the load-configuration
    record, or None when the header has none."""
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[LOAD_CONFIG_ENTRY]
    if not entry.VirtualAddress:
        return None
    record = section_block(pe, entry.VirtualAddress, max(entry.Size, 4))
    flags = struct.unpack_from("<H", record, DEPENDENT_LOAD_FLAGS_AT)[0] if entry.Size >= DEPENDENT_LOAD_FLAGS_AT + 2 else None
    return entry.Size, struct.unpack_from("<I", record)[0], flags


def check_release_header(name, pe, machine, faults):
    """The commit's date, a checksum that signing and unsigning keep, and (x64) the load-configuration record."""
    try:
        date = source_date.source_date()
    except ValueError as e:
        faults.append("%s: %s" % (name, e))
    else:
        if pe["timestamp"] != date:
            faults.append("%s: dated %d in its header, not %d, the last commit's date: not a reproducible build" %
                          (name, pe["timestamp"], date))
    stored, computed = pe["checksum"]
    if stored != computed:
        faults.append("%s: checksum 0x%08x in the header, 0x%08x computed" % (name, stored, computed))
    record = pe["load_config"]
    if machine != 0x8664:
        if record is not None:
            faults.append("%s: carries a load-configuration record, which older loaders check and may refuse" % name)
    elif record is None:
        faults.append("%s: no load-configuration record: its imports could come from beside the program" % name)
    else:
        size, size_field, flags = record
        if size != size_field:
            faults.append("%s: load-configuration entry of %d bytes for a record of %d" % (name, size, size_field))
        if flags != LOAD_LIBRARY_SEARCH_SYSTEM32:
            faults.append("%s: DependentLoadFlags %s, expected 0x%x (LOAD_LIBRARY_SEARCH_SYSTEM32)" %
                          (name, "absent" if flags is None else "0x%x" % flags, LOAD_LIBRARY_SEARCH_SYSTEM32))


def check_version(name, data, faults):
    """The version resource and the window title both give the version of src/core/product_version.h."""
    with open(VERSION_HEADER, encoding="utf-8") as f:
        header = f.read()
    numbers = tuple(int(re.search(r"#define PURGIX_VERSION_%s (\d+)" % part, header).group(1)) for part in ("MAJOR", "MINOR"))
    text = "%d.%d" % numbers
    pe = pefile.PE(data=data, fast_load=True)
    pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    fixed = getattr(pe, "VS_FIXEDFILEINFO", [None])[0]
    if fixed is None:
        faults.append("%s: no version resource" % name)
        return
    for field in ("FileVersionMS", "ProductVersionMS"):
        value = getattr(fixed, field)
        if (value >> 16, value & 0xFFFF) != numbers:
            faults.append("%s: version resource %s %d.%d, expected %s" % (name, field, value >> 16, value & 0xFFFF, text))
    strings = {}
    for info in getattr(pe, "FileInfo", [[]])[0]:
        for table in getattr(info, "StringTable", []):
            strings.update((k.decode(), v.decode()) for k, v in table.entries.items())
    for field in ("FileVersion", "ProductVersion"):
        if strings.get(field) != text:
            faults.append("%s: version resource %s %r, expected %r" % (name, field, strings.get(field), text))
    if ("%s Ver %s\0" % (PROGRAM_NAME, text)).encode() not in data:
        faults.append("%s: no window title %r in the program" % (name, "%s Ver %s" % (PROGRAM_NAME, text)))


def check_signature(path, pe, chain, faults):
    """A signed exe verifies against the chain, names the program and its site, and unsigns to the
    unsigned exe make_dist kept beside the folder."""
    name = os.path.basename(path)
    if not pe["signed"]:
        if chain:
            faults.append("%s: not signed, but a certificate chain to check its signature was given" % name)
        return
    if not chain:
        faults.append("%s: signed, but no certificate chain to check it against was given (--ca, SIGN_CA)" % name)
        return
    ok, report = signatures.verify(path, chain)
    if not ok:
        faults.append("%s: the signature does not verify against %s: %s" %
                      (name, chain, " / ".join(report.strip().splitlines()[-3:])))
        return
    fields = signatures.described(report)
    expected = {"Text description": PROGRAM_NAME, "URL description": make_dist.maker_site(), "Message digest algorithm": "SHA256"}
    for field, value in expected.items():
        if fields.get(field) != value:
            faults.append("%s: the signature's %s is %r, expected %r" % (name, field, fields.get(field), value))
    unsigned = os.path.join(os.path.dirname(path) + "-unsigned", name)
    if os.path.isfile(unsigned):
        with open(unsigned, "rb") as f:
            if signatures.without_signature(path) != f.read():
                faults.append("%s: without its signature it is not the unsigned %s" % (name, unsigned))


def check_program(path, machine, magic, oldest_systems, subsystem, faults, chain=None):
    name = os.path.basename(path)
    with open(path, "rb") as f:
        data = f.read()
    try:
        pe = parse_pe(data)
    except ValueError as e:
        faults.append("%s: %s" % (name, e))
        return
    if pe["machine"] != machine:
        faults.append("%s: machine 0x%x, expected 0x%x" % (name, pe["machine"], machine))
    if pe["magic"] != magic:
        faults.append("%s: optional header 0x%x, expected 0x%x" % (name, pe["magic"], magic))
    flags = pe["characteristics"]
    if not flags & IMAGE_FILE_EXECUTABLE_IMAGE or flags & IMAGE_FILE_DLL:
        faults.append("%s: characteristics 0x%04x do not make a program" % (name, flags))
    if machine == 0x14C and not flags & IMAGE_FILE_32BIT_MACHINE:
        faults.append("%s: not marked as a 32-bit image" % name)
    if pe["subsystem"] != subsystem:
        faults.append("%s: subsystem %d, expected %d" % (name, pe["subsystem"], subsystem))
    if pe["symbols"][1]:
        faults.append("%s: carries %d symbols: not stripped" % (name, pe["symbols"][1]))
    debug = [s for s in pe["sections"] if s.startswith((".debug", ".stab"))]
    if debug:
        faults.append("%s: debugging sections %s: not stripped" % (name, ", ".join(debug)))
    for dll in sorted(pe["imports"]):
        if dll not in SYSTEM_DLLS:
            faults.append("%s: imports %s, which is not a library of the system" % (name, dll))
    check_release_header(name, pe, machine, faults)
    check_version(name, data, faults)
    check_signature(path, pe, chain, faults)
    if oldest_systems:
        check_oldest_systems(name, pe, data, faults)
    if subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        return  # the console program's only resource is its version, checked above
    done = subprocess.run([sys.executable, PE_RESOURCES, "--check", path], stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, timeout=120)
    if done.returncode != 0:
        lines = [line for line in done.stdout.splitlines() if line.startswith("FAULT") or "Error" in line]
        faults.append("%s: resources: %s" % (name, "; ".join(lines[-10:]) or done.stdout.strip()[-500:]))


def check_sums(folder, faults):
    path = os.path.join(folder, "SHA256SUMS")
    try:
        with open(path) as f:
            lines = f.read().splitlines()
    except OSError as e:
        faults.append("SHA256SUMS: %s" % e)
        return
    listed = {}
    for line in lines:
        match = re.fullmatch(r"([0-9a-f]{64}) [ *](\S+)", line)
        if not match:
            faults.append("SHA256SUMS: malformed line %r" % line)
            continue
        listed[match.group(2)] = match.group(1)
    if sorted(listed) != sorted(PROGRAMS):
        faults.append("SHA256SUMS lists %s, expected %s" % (sorted(listed), sorted(PROGRAMS)))
    for name, digest in listed.items():
        target = os.path.join(folder, name)
        if not os.path.isfile(target):
            continue
        with open(target, "rb") as f:
            actual = hashlib.file_digest(f, "sha256").hexdigest()
        if actual != digest:
            faults.append("SHA256SUMS: %s is listed as %s but is %s" % (name, digest, actual))


def main(argv):
    chain = None
    if "--ca" in argv:
        at = argv.index("--ca")
        if at + 1 >= len(argv):
            print(__doc__)
            return 2
        chain = argv[at + 1]
        argv = argv[:at] + argv[at + 2:]
    if len(argv) > 1 or (argv and argv[0].startswith("-")):
        print(__doc__)
        return 2
    folder = argv[0] if argv else os.path.join(ROOT, "build", "dist")
    faults = []
    for name, (machine, magic, oldest, subsystem) in sorted(PROGRAMS.items()):
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            faults.append("%s missing from %s" % (name, folder))
            continue
        check_program(path, machine, magic, oldest, subsystem, faults, chain)
    check_sums(folder, faults)
    for fault in faults:
        print("FAULT:", fault)
    print("%s: %d faults" % (folder, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
