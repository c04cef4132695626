#!/usr/bin/python3
"""Finishes a linked or stripped Purgix.exe: the header's date, load-configuration entry and checksum.

Usage: pe_finish.py [--nm NM] DATE EXE

DATE is seconds since 1970 (or a file holding them, as tools/source_date.py writes). The header's
time stamp becomes DATE, so the program carries its commit's date and not the build's. With --nm,
the program's symbol table is read with NM and, when it names `_load_config_used`, the header's
load-configuration entry is pointed at that record (binutils 2.40 leaves the entry empty). Last,
the file is padded with zeros to a multiple of 8 bytes and its checksum computed again: signing
pads it so (a signature's table starts on 8 bytes), and removing the signature keeps the padding
and computes the checksum anew, so a signed and then unsigned program is the same bytes as the
one that was never signed. (The stripped 32-bit program ends in the string table that names its
.eh_frame section, so its length is not a multiple of the file alignment.)
"""
import struct
import subprocess
import sys

LOAD_CONFIG_ENTRY = 10
LOAD_CONFIG_SYMBOL = "_load_config_used"
SIGNATURE_ALIGNMENT = 8


def header_offsets(data):
    """(file header, optional header, whether PE32+) offsets of a PE file; ValueError otherwise."""
    if len(data) < 64 or data[:2] != b"MZ":
        raise ValueError("not an MZ file")
    pe = struct.unpack_from("<I", data, 60)[0]
    if pe + 24 > len(data) or data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE header")
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    if magic not in (0x10B, 0x20B):
        raise ValueError("unknown optional header 0x%x" % magic)
    return pe + 4, optional, magic == 0x20B


def checksum_offset(data):
    return header_offsets(data)[1] + 64


def pe_checksum(data):
    """The PE image checksum: 16-bit sums with the carry folded back, the checksum field counted as
    zero, plus the file's length."""
    skip = checksum_offset(data)
    padded = data + b"\0" * (len(data) & 1)
    words = struct.unpack_from("<%dH" % (len(padded) // 2), padded)
    total = sum(words) - sum(struct.unpack_from("<2H", padded, skip))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def load_config_rva(nm, path, image_base):
    """RVA of the load-configuration record named in the symbol table, or None."""
    listing = subprocess.run([nm, path], stdout=subprocess.PIPE, text=True, check=True).stdout
    for line in listing.splitlines():
        fields = line.split()
        if len(fields) == 3 and fields[2] == LOAD_CONFIG_SYMBOL:
            return int(fields[0], 16) - image_base
    return None


def finish(path, date, nm=None):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    file_header, optional, plus = header_offsets(data)
    struct.pack_into("<I", data, file_header + 4, date)
    if nm:
        image_base = struct.unpack_from("<Q" if plus else "<I", data, optional + (24 if plus else 28))[0]
        rva = load_config_rva(nm, path, image_base)
        if rva is not None:
            entry = optional + (112 if plus else 96) + 8 * LOAD_CONFIG_ENTRY
            struct.pack_into("<II", data, entry, rva, record_size(data, optional, rva))
    data += b"\0" * (-len(data) % SIGNATURE_ALIGNMENT)
    struct.pack_into("<I", data, checksum_offset(data), pe_checksum(bytes(data)))
    with open(path, "wb") as f:
        f.write(data)


def record_size(data, optional, rva):
    """The record's own Size field (its first four bytes), read through the section table."""
    file_header = optional - 20
    sections, optional_size = struct.unpack_from("<H12xH", data, file_header + 2)
    table = optional + optional_size
    for i in range(sections):
        size, address, raw_size, raw_at = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        if address <= rva and rva + 4 <= address + min(size, raw_size):
            return struct.unpack_from("<I", data, raw_at + rva - address)[0]
    raise ValueError("the load-configuration record at RVA 0x%x lies in no section" % rva)


def read_date(text):
    try:
        with open(text) as f:
            text = f.read()
    except OSError:
        pass
    return int(text.strip())


def main(argv):
    nm = None
    if len(argv) >= 2 and argv[0] == "--nm":
        nm, argv = argv[1], argv[2:]
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    finish(argv[1], read_date(argv[0]), nm)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
