"""Authenticode signatures of the shipped exes through osslsigncode: whether an exe carries one, whether
it verifies against a certificate chain, and the exe's bytes with it removed."""
import os
import subprocess
import tempfile

SECURITY_ENTRY = 4  # the header's certificate-table entry


def is_signed(pe):
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[SECURITY_ENTRY]
    return entry.VirtualAddress != 0 and entry.Size != 0


def verify(path, chain):
    """(whether the signature verifies against the PEM chain, osslsigncode's report). No revocation
    lists are fetched: the check runs without a network."""
    done = subprocess.run(["osslsigncode", "verify", "-CAfile", chain, "-ignore-cdp", "-in", path],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=120)
    return done.returncode == 0 and "Signature verification: ok" in done.stdout, done.stdout


def described(report):
    """{field: value} of the signature's program name and link, as `verify` reports them."""
    found = {}
    for line in report.splitlines():
        for field in ("Text description", "URL description", "Message digest algorithm"):
            if line.strip().startswith(field + ":"):
                found.setdefault(field, line.split(":", 1)[1].strip())
    return found


def without_signature(path):
    """The exe's bytes once `osslsigncode remove-signature` has taken its signature off."""
    with tempfile.TemporaryDirectory(prefix="purgix-unsign-") as folder:
        out = os.path.join(folder, "unsigned.exe")
        done = subprocess.run(["osslsigncode", "remove-signature", "-in", path, "-out", out],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=120)
        if done.returncode != 0:
            raise ValueError("remove-signature failed: %s" % done.stdout.strip()[-300:])
        with open(out, "rb") as f:
            return f.read()
