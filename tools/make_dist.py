#!/usr/bin/python3
"""`make dist`: the 32-bit and 64-bit Purgix.exe and PurgixCmd.exe, stripped, with their SHA-256 sums."""
import hashlib
import os
import shutil
import subprocess
import sys


def main():
    win32, win64, out = sys.argv[1:4]
    os.makedirs(out, exist_ok=True)
    sums = []
    for tree, program, name, strip in ((win32, "Purgix.exe", "Purgix-x86.exe", "i686-w64-mingw32-strip"),
                                       (win64, "Purgix.exe", "Purgix-x64.exe", "x86_64-w64-mingw32-strip"),
                                       (win32, "PurgixCmd.exe", "PurgixCmd-x86.exe", "i686-w64-mingw32-strip"),
                                       (win64, "PurgixCmd.exe", "PurgixCmd-x64.exe", "x86_64-w64-mingw32-strip")):
        target = os.path.join(out, name)
        shutil.copy2(os.path.join(tree, "bin", program), target)
        subprocess.run([strip, target], check=True)
        with open(target, "rb") as f:
            sums.append("%s  %s\n" % (hashlib.sha256(f.read()).hexdigest(), name))
    with open(os.path.join(out, "SHA256SUMS"), "w") as f:
        f.writelines(sums)
    sys.stdout.writelines(sums)


if __name__ == "__main__":
    main()
