#!/usr/bin/python3
"""Two builds of one commit give the same exes: the program is built again from a copy of the sources
in a temporary folder (only the Purgix targets, both machines), later and elsewhere, and `make
dist`'s steps must give byte for byte the unsigned exes of BUILD.

Usage: test_reproducible.py BUILD   (the build folder `make dist` filled; exit status 1 on a difference)
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
NAMES = ("Purgix-x86.exe", "Purgix-x64.exe", "PurgixCmd-x86.exe", "PurgixCmd-x64.exe")
TREES = (("win32", "mingw-i686.cmake"), ("win64", "mingw-x86_64.cmake"))


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def copy_sources(target):
    """The files of the checkout as they are now (committed or not), without build output."""
    listed = subprocess.run(["git", "-C", ROOT, "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                            stdout=subprocess.PIPE, check=True).stdout.split(b"\0")
    for name in sorted(n.decode() for n in listed if n):
        source = os.path.join(ROOT, name)
        if not os.path.isfile(source):
            continue  # deleted but not yet committed
        os.makedirs(os.path.dirname(os.path.join(target, name)), exist_ok=True)
        shutil.copy2(source, os.path.join(target, name))


def build_program(source, build, date):
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(date))
    for tree, toolchain in TREES:
        folder = os.path.join(build, tree)
        subprocess.run(["cmake", "-S", source, "-B", folder, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                        "-DCMAKE_TOOLCHAIN_FILE=cmake/" + toolchain, "-DPURGIX_TESTS=OFF"],
                       env=env, check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["ninja", "-C", folder, "-j2", "Purgix", "PurgixCmd"], env=env, check=True,
                       stdout=subprocess.DEVNULL)


def main(argv):
    if len(argv) != 1:
        print(__doc__)
        return 2
    build = os.path.abspath(argv[0])
    first = os.path.join(build, "dist-unsigned")
    if not os.path.isdir(first):
        first = os.path.join(build, "dist")
    with open(os.path.join(build, "win64", "source_date_epoch")) as f:
        date = int(f.read().strip())
    faults = []
    work = tempfile.mkdtemp(prefix="purgix-rebuild-")
    try:
        source = os.path.join(work, "elsewhere", "purgix")
        copy_sources(source)
        second_build = os.path.join(work, "build")
        build_program(source, second_build, date)
        for tree, _ in TREES:
            for program in ("Purgix.exe", "PurgixCmd.exe"):
                linked = os.path.join(second_build, tree, "bin", program)
                with open(linked, "rb") as f:
                    data = f.read()
                stamp = int.from_bytes(data[int.from_bytes(data[60:64], "little") + 8:][:4], "little")
                if stamp != date:
                    faults.append("%s: the linked %s is dated %d, not the commit's %d" % (tree, program, stamp, date))
        second = os.path.join(work, "dist")
        subprocess.run([sys.executable, os.path.join(source, "tools", "make_dist.py"), os.path.join(second_build, "win32"),
                        os.path.join(second_build, "win64"), second], check=True, stdout=subprocess.DEVNULL)
        for name in NAMES:
            a, b = sha256(os.path.join(first, name)), sha256(os.path.join(second, name))
            print("%s  %s  (%s)\n%s  %s  (rebuilt in %s)" % (a, name, first, b, name, work))
            if a != b:
                faults.append("%s differs between %s and the rebuild" % (name, first))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for fault in faults:
        print("FAULT:", fault)
    print("reproducible build: %d faults" % len(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
