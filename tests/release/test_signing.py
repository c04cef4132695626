#!/usr/bin/python3
"""The signing path end to end, with a throwaway certificate authority made in a temporary folder:
`make dist`'s signing step signs both exes, the release check verifies them against that authority
(and unsigns them back to the unsigned exes), one flipped byte breaks a signature, and the signed
exes still run the planted-library scenario under Wine (the x86 one where 32-bit code runs).

Usage: test_signing.py BUILD   (the build folder with the win32 and win64 trees; exit status 1 on a fault)
"""
import os
import shutil
import subprocess
import sys
import tempfile

import pefile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
import signatures  # noqa: E402
import winebox  # noqa: E402

PYTHON = sys.executable
SCENARIO = (os.path.join(ROOT, "tests", "gui", "test_planted_libraries.py"),
            "PlantedLibrariesTest.test_no_planted_library_runs_in_the_window_the_link_or_the_scan")
EXTENSIONS = """[authority]
basicConstraints = critical,CA:TRUE
keyUsage = critical,keyCertSign,cRLSign
subjectKeyIdentifier = hash
[signer]
basicConstraints = critical,CA:FALSE
keyUsage = critical,digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
"""


def openssl(*args, cwd):
    subprocess.run(["openssl"] + list(args), cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def make_keys(folder):
    """A root certificate (authority.pem) and a code-signing key and certificate it issued, packed
    with a password (signer.p12, password.txt)."""
    with open(os.path.join(folder, "extensions.cnf"), "w") as f:
        f.write(EXTENSIONS)
    with open(os.path.join(folder, "password.txt"), "w") as f:
        f.write("throwaway password\n")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "authority.key", "-out", "authority.pem",
            "-days", "2", "-subj", "/CN=Purgix throwaway test authority", "-config", "extensions.cnf",
            "-extensions", "authority", cwd=folder)
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "signer.key", "-out", "signer.csr",
            "-subj", "/CN=Purgix throwaway test signer", cwd=folder)
    openssl("x509", "-req", "-in", "signer.csr", "-CA", "authority.pem", "-CAkey", "authority.key",
            "-CAcreateserial", "-out", "signer.pem", "-days", "1", "-extfile", "extensions.cnf",
            "-extensions", "signer", cwd=folder)
    openssl("pkcs12", "-export", "-inkey", "signer.key", "-in", "signer.pem", "-certfile", "authority.pem",
            "-out", "signer.p12", "-passout", "file:password.txt", cwd=folder)


def flipped_copy(path, target):
    """A copy of the exe with one byte of its code flipped."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    data[pefile.PE(data=bytes(data), fast_load=True).sections[0].PointerToRawData] ^= 0xFF
    with open(target, "wb") as f:
        f.write(data)


def run_scenario(tree, exe):
    env = dict(os.environ, PURGIX_WIN_BUILD=tree, PURGIX_EXE=exe)
    try:
        done = subprocess.run([PYTHON, os.path.join(ROOT, "tests", "gui", "run_gui_test.py")] + list(SCENARIO),
                              env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=900)
    finally:
        winebox.stop_leftovers(tree)
    return done.returncode == 0, done.stdout


def main(argv):
    if len(argv) != 1:
        print(__doc__)
        return 2
    build = os.path.abspath(argv[0])
    faults = []
    work = tempfile.mkdtemp(prefix="purgix-signing-")
    try:
        keys = os.path.join(work, "keys")
        os.makedirs(keys)
        make_keys(keys)
        dist = os.path.join(work, "dist")
        subprocess.run([PYTHON, os.path.join(ROOT, "tools", "make_dist.py"), os.path.join(build, "win32"),
                        os.path.join(build, "win64"), dist, "--sign", os.path.join(keys, "signer.p12"),
                        "--pass-file", os.path.join(keys, "password.txt")], check=True, stdout=subprocess.DEVNULL)
        chain = os.path.join(keys, "authority.pem")
        check = subprocess.run([PYTHON, os.path.join(ROOT, "tests", "release", "check_dist.py"), dist, "--ca", chain],
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        print(check.stdout.strip())
        if check.returncode != 0:
            faults.append("the release check refuses the exes signed with the throwaway key")
        for name in ("Purgix-x86.exe", "Purgix-x64.exe", "PurgixCmd-x86.exe", "PurgixCmd-x64.exe"):
            broken = os.path.join(work, "flipped-" + name)
            flipped_copy(os.path.join(dist, name), broken)
            if signatures.verify(broken, chain)[0]:
                faults.append("%s with one byte flipped still verifies" % name)
            else:
                print("%s with one byte flipped: the signature fails, as it must" % name)
        runs = [("x64", os.path.join(build, "win64"), os.path.join(dist, "Purgix-x64.exe"))]
        reason = winebox.x86_unavailable()
        if reason:
            print("signed x86 exe under Wine skipped: %s" % reason)
        else:
            runs.insert(0, ("x86", os.path.join(build, "win32"), os.path.join(dist, "Purgix-x86.exe")))
        for arch, tree, exe in runs:
            ok, output = run_scenario(tree, exe)
            print("signed %s exe, planted-library scenario under Wine: %s" % (arch, "ok" if ok else "FAILED"))
            if not ok:
                print(output[-3000:])
                faults.append("the signed %s exe fails its scenario under Wine" % arch)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for fault in faults:
        print("FAULT:", fault)
    print("signing path: %d faults" % len(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
