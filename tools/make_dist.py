#!/usr/bin/python3
"""`make dist`: the 32-bit and 64-bit Purgix.exe and PurgixCmd.exe, stripped, dated by the last
commit, signed when a key is given, with their SHA-256 sums.

Usage: make_dist.py WIN32_TREE WIN64_TREE OUT [--sign KEY.p12 [--pass-file FILE]]

Unsigned, the exes are the same bytes on every build of one commit (tools/source_date.py,
tools/pe_finish.py). Signed, they are those bytes with an Authenticode signature (SHA-256, the
program's name and the maker's site) appended; the unsigned ones are kept in OUT-unsigned, and
`osslsigncode remove-signature` turns a signed exe back into its unsigned one.
"""
import hashlib
import os
import re
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import pe_finish  # noqa: E402

PROGRAM_NAME = "Purgix"
# (tree argument, built program, shipped name, strip program)
PROGRAMS = ((0, "Purgix.exe", "Purgix-x86.exe", "i686-w64-mingw32-strip"),
            (1, "Purgix.exe", "Purgix-x64.exe", "x86_64-w64-mingw32-strip"),
            (0, "PurgixCmd.exe", "PurgixCmd-x86.exe", "i686-w64-mingw32-strip"),
            (1, "PurgixCmd.exe", "PurgixCmd-x64.exe", "x86_64-w64-mingw32-strip"))


def maker_site():
    """The maker's site as the program itself names it (kMakerSite), for the signature's link."""
    with open(os.path.join(ROOT, "src", "app", "web_links.h"), encoding="utf-8") as f:
        found = re.search(r'kMakerSite\[\]\s*=\s*"([^"]+)"', f.read())
    if not found:
        raise SystemExit("make_dist: kMakerSite not found in src/app/web_links.h")
    return found.group(1)


def tree_date(tree):
    with open(os.path.join(tree, "source_date_epoch")) as f:
        return int(f.read().strip())


def write_sums(folder, names):
    lines = []
    for name in names:
        with open(os.path.join(folder, name), "rb") as f:
            lines.append("%s  %s\n" % (hashlib.sha256(f.read()).hexdigest(), name))
    with open(os.path.join(folder, "SHA256SUMS"), "w") as f:
        f.writelines(lines)
    return lines


def strip_and_finish(source, target, strip, date):
    shutil.copyfile(source, target)
    # strip writes the time it runs into the header unless told the release's date.
    subprocess.run([strip, target], check=True, env=dict(os.environ, SOURCE_DATE_EPOCH=str(date)))
    pe_finish.finish(target, date)


def sign(unsigned, signed, key, pass_file):
    command = ["osslsigncode", "sign", "-pkcs12", key, "-h", "sha256", "-n", PROGRAM_NAME, "-i", maker_site()]
    if pass_file:
        command += ["-readpass", pass_file]
    done = subprocess.run(command + ["-in", unsigned, "-out", signed], stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True)
    if done.returncode != 0:
        raise SystemExit("make_dist: signing %s failed:\n%s" % (os.path.basename(signed), done.stdout.strip()))


def main(argv):
    if len(argv) < 3:
        raise SystemExit(__doc__)
    trees, out, options = argv[:2], argv[2], argv[3:]
    key = pass_file = None
    while options:
        if options[0] == "--sign" and len(options) > 1:
            key = options[1]
        elif options[0] == "--pass-file" and len(options) > 1:
            pass_file = options[1]
        else:
            raise SystemExit(__doc__)
        options = options[2:]
    if pass_file and not key:
        raise SystemExit("make_dist: a password file without a key (SIGN_PKCS12) signs nothing")
    dates = {tree_date(t) for t in trees}
    if len(dates) != 1:
        raise SystemExit("make_dist: the two trees carry different release dates %s: build both from one commit" %
                         sorted(dates))
    date = dates.pop()

    unsigned_folder = out + "-unsigned" if key else out
    shutil.rmtree(out + "-unsigned", ignore_errors=True)
    os.makedirs(unsigned_folder, exist_ok=True)
    names = [name for _, _, name, _ in PROGRAMS]
    for tree, program, name, strip in PROGRAMS:
        strip_and_finish(os.path.join(trees[tree], "bin", program), os.path.join(unsigned_folder, name), strip, date)
    if key:
        write_sums(unsigned_folder, names)
        os.makedirs(out, exist_ok=True)
        for name in names:
            target = os.path.join(out, name)
            if os.path.exists(target):
                os.remove(target)
            sign(os.path.join(unsigned_folder, name), target, key, pass_file)
        print("signed with %s; the unsigned exes are in %s" % (key, unsigned_folder))
    else:
        print("not signed: no key given (make dist SIGN_PKCS12=key.p12 [SIGN_PASS_FILE=file])")
    sys.stdout.writelines(write_sums(out, names))


if __name__ == "__main__":
    main(sys.argv[1:])
