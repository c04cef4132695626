"""Lists the resources of a built Purgix.exe (bitmaps, icons, dialogs) and checks them against the catalogue.

Usage: pe_resources.py [--check] Purgix.exe   (exit status 1 when a check fails)"""
import os
import struct
import sys

import pefile

sys.dont_write_bytecode = True   # keep the source folder free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import dialog_templates as dt                      # noqa: E402
from dib import parse_dib                          # noqa: E402
from resource_catalog import ALL, FORBIDDEN_GREYS, ICON_SIZE  # noqa: E402

RT_ICON, RT_BITMAP, RT_DIALOG, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 2, 5, 14, 16, 24
TYPE_NAMES = {RT_BITMAP: "RT_BITMAP", RT_ICON: "RT_ICON", RT_DIALOG: "RT_DIALOG",
              RT_GROUP_ICON: "RT_GROUP_ICON", RT_VERSION: "RT_VERSION", RT_MANIFEST: "RT_MANIFEST"}


class Reader:
    """Bounded little-endian reads over a byte string; every overrun raises ValueError. For what
    pefile does not read: dialog templates and the string table that holds long section names."""

    def __init__(self, data):
        self.data = data

    def take(self, fmt, offset):
        size = struct.calcsize(fmt)
        if offset < 0 or offset + size > len(self.data):
            raise ValueError("read of %d bytes at %d past the end (%d)" % (size, offset, len(self.data)))
        return struct.unpack_from(fmt, self.data, offset)

    def text(self, offset, limit=512):
        """A NUL-terminated ASCII name of at most `limit` bytes."""
        end = self.data.find(b"\0", offset, offset + limit)
        if offset < 0 or end < 0:
            raise ValueError("unterminated name at %d" % offset)
        return self.data[offset:end].decode("ascii", "replace")


def load_pe(data):
    """The headers and section table of a PE file; ValueError when it is none."""
    try:
        pe = pefile.PE(data=data, fast_load=True)
    except pefile.PEFormatError as e:
        raise ValueError(e.value) from None
    if pe.PE_TYPE is None:
        raise ValueError("unknown optional header magic 0x%x" % pe.OPTIONAL_HEADER.Magic)
    return pe


def parse_directory(pe, name):
    """Parses one data directory (named as pefile does) and returns its header entry, or
    None when the file has none. pefile notes damage as a warning and keeps what it could read; a
    table read in part would hide faults, so such a warning is raised. Its remark that a short
    import list looks packed is an opinion, not damage."""
    entries, index = pe.OPTIONAL_HEADER.DATA_DIRECTORY, pefile.DIRECTORY_ENTRY[name]
    if index >= len(entries) or not entries[index].VirtualAddress:
        return None
    before = len(pe.get_warnings())
    pe.parse_data_directories(directories=[index])
    damage = [w for w in pe.get_warnings()[before:] if "typical of packed executables" not in w]
    if damage:
        raise ValueError("; ".join(damage))
    return entries[index]


def section_block(pe, rva, size):
    """The `size` bytes at `rva`, all inside one section's data in the file: pefile would cut
    them short, or read them from outside the sections."""
    try:
        block = pe.get_data(rva, size)[:size]
    except pefile.PEFormatError:
        block = b""
    if pe.get_section_by_rva(rva) is None or len(block) != size:
        raise ValueError("RVA 0x%x (+%d) not in any section" % (rva, size))
    return block


def resources(data):
    """{type: {name: bytes}} of the first language of every resource; names are ints or upper-case strings."""
    pe = load_pe(data)
    rsrc = parse_directory(pe, "IMAGE_DIRECTORY_ENTRY_RESOURCE")
    if rsrc is None:
        return {}
    section_block(pe, rsrc.VirtualAddress, rsrc.Size)

    def key(entry):
        return entry.id if entry.name is None else str(entry.name).upper()

    out = {}
    for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if not hasattr(rtype, "directory"):
            raise ValueError("type entry without a directory")
        for rname in rtype.directory.entries:
            if not hasattr(rname, "directory"):
                raise ValueError("name entry without a directory")
            if not rname.directory.entries:
                continue
            first = rname.directory.entries[0]
            if not hasattr(first, "data"):
                raise ValueError("language entry without data")
            out.setdefault(key(rtype), {})[key(rname)] = section_block(pe, first.data.struct.OffsetToData,
                                                                        first.data.struct.Size)
    return out


def _sz_or_ord(rd, off):
    (first,) = rd.take("<H", off)
    if first == 0xFFFF:
        return rd.take("<H", off + 2)[0], off + 4
    chars = []
    while True:
        (c,) = rd.take("<H", off)
        off += 2
        if c == 0:
            return "".join(map(chr, chars)), off
        chars.append(c)


def _align4(off):
    return (off + 3) & ~3


def parse_dialog(data):
    """A dict describing a dialog template (plain or extended) and its controls."""
    rd = Reader(data)
    ver, sig = rd.take("<HH", 0)
    d = {"extended": ver == 1 and sig == 0xFFFF}
    if d["extended"]:
        _help, d["exstyle"], d["style"], count, x, y, cx, cy = rd.take("<IIIHhhhh", 4)
        off = 26
    else:
        d["style"], d["exstyle"], count, x, y, cx, cy = rd.take("<IIHhhhh", 0)
        off = 18
    d["pos"], d["size"] = (x, y), (cx, cy)
    d["menu"], off = _sz_or_ord(rd, off)
    d["class"], off = _sz_or_ord(rd, off)
    d["title"], off = _sz_or_ord(rd, off)
    d["font"] = None
    if d["style"] & dt.DS_SETFONT:
        if d["extended"]:
            points, weight, italic, charset = rd.take("<HHBB", off)
            face, off = _sz_or_ord(rd, off + 6)
            d["font"] = (points, face, weight, italic, charset)
        else:
            (points,) = rd.take("<H", off)
            face, off = _sz_or_ord(rd, off + 2)
            d["font"] = (points, face, None, None, None)
    d["controls"] = []
    for _ in range(count):
        off = _align4(off)
        c = {}
        if d["extended"]:
            _help, c["exstyle"], c["style"], x, y, cx, cy, c["id"] = rd.take("<IIIhhhhI", off)
            off += 24
        else:
            c["style"], c["exstyle"], x, y, cx, cy, c["id"] = rd.take("<IIhhhhH", off)
            off += 18
        c["rect"] = (x, y, cx, cy)
        c["class"], off = _sz_or_ord(rd, off)
        c["caption"], off = _sz_or_ord(rd, off)
        (extra,) = rd.take("<H", off)
        off += 2 + extra
        d["controls"].append(c)
    return d


def listing(res):
    lines = []
    for t in sorted(res, key=str):
        for name in sorted(res[t], key=str):
            blob = res[t][name]
            desc = ""
            if t in (RT_BITMAP, RT_ICON):
                w, h, _planes, bits = struct.unpack_from("<iiHH", blob, 4)
                clr = struct.unpack_from("<I", blob, 32)[0]
                desc = "%dx%d %d bpp, %d colour-table entries" % (w, h if t == RT_BITMAP else h // 2, bits, clr)
            elif t == RT_GROUP_ICON:
                _r, _k, n = struct.unpack_from("<HHH", blob, 0)
                desc = "; ".join("%dx%d %d bpp -> icon %d" % (blob[6 + 14 * i] or 256, blob[7 + 14 * i] or 256,
                                                               struct.unpack_from("<H", blob, 12 + 14 * i)[0],
                                                               struct.unpack_from("<H", blob, 18 + 14 * i)[0])
                                 for i in range(n))
            elif t == RT_DIALOG:
                d = parse_dialog(blob)
                desc = "%s style 0x%08X size %dx%d, %d controls" % (
                    "DIALOGEX" if d["extended"] else "DIALOG", d["style"], *d["size"], len(d["controls"]))
            lines.append("%-13s %-24s %6d bytes  %s" % (TYPE_NAMES.get(t, t), name, len(blob), desc))
    return lines


def check_dialog(template, blob, faults):
    d = parse_dialog(blob)
    tag = "dialog %d" % template.id
    want = (template.extended, template.style, 0, (0, 0), template.size, template.title)
    got = (d["extended"], d["style"], d["exstyle"], d["pos"], d["size"], d["title"])
    if want != got:
        faults.append("%s: header %s, expected %s" % (tag, got, want))
    if d["font"] != template.font:
        faults.append("%s: font %s, expected %s" % (tag, d["font"], template.font))
    if len(d["controls"]) != len(template.controls):
        faults.append("%s: %d controls, expected %d" % (tag, len(d["controls"]), len(template.controls)))
    for want_c, c in zip(template.controls, d["controls"]):
        caption = c["caption"] if want_c.caption is not None else None
        got_c = (c["id"], c["class"], caption, c["rect"], c["style"], c["exstyle"])
        exp_c = (want_c.id, want_c.cls, want_c.caption, (want_c.x, want_c.y, want_c.cx, want_c.cy),
                 want_c.style, want_c.exstyle)
        if got_c != exp_c:
            faults.append("%s: control %s, expected %s" % (tag, got_c, exp_c))


def check(res, faults):
    bitmaps = dict(res.get(RT_BITMAP, {}))
    for entry in ALL:
        blob = bitmaps.pop(entry.name, None)
        if blob is None:
            faults.append("bitmap %s missing" % entry.name)
            continue
        try:
            info = parse_dib(blob)
        except ValueError as e:
            faults.append("bitmap %s: %s" % (entry.name, e))
            continue
        if ((info.width, info.height), info.bits) != (entry.size, entry.bits):
            faults.append("bitmap %s: %dx%d %d bpp" % (entry.name, info.width, info.height, info.bits))
        if entry.palette is not None and info.clr_used != entry.palette:
            faults.append("bitmap %s: %d colour-table entries" % (entry.name, info.clr_used))
        if any(g in info.colours() for g in FORBIDDEN_GREYS):
            faults.append("bitmap %s: holds a 3-D grey" % entry.name)
    for name in bitmaps:
        faults.append("unexpected bitmap %s" % name)
    groups = res.get(RT_GROUP_ICON, {})
    if list(groups) != [128]:
        faults.append("icon groups %s, expected [128]" % list(groups))
    else:
        g = groups[128]
        _r, kind, n = struct.unpack_from("<HHH", g, 0)
        if kind != 1 or n != 1:
            faults.append("icon group 128: %d images" % n)
        else:
            w, h, _c, _x, _planes, bits, _size, icon_id = struct.unpack_from("<BBBBHHIH", g, 6)
            blob = res.get(RT_ICON, {}).get(icon_id)
            if (w, h, bits) != (ICON_SIZE, ICON_SIZE, 24) or blob is None:
                faults.append("icon group 128: %dx%d %d bpp, image %s" % (w, h, bits, icon_id))
            else:
                iw, ih, _p, ibits = struct.unpack_from("<iiHH", blob, 4)
                if (iw, ih, ibits) != (ICON_SIZE, 2 * ICON_SIZE, 24):
                    faults.append("icon %d: %dx%d %d bpp" % (icon_id, iw, ih, ibits))
    dialogs = res.get(RT_DIALOG, {})
    for template in (dt.MAIN, dt.MESSAGE):
        if template.id not in dialogs:
            faults.append("dialog %d missing" % template.id)
        else:
            check_dialog(template, dialogs[template.id], faults)
    if RT_MANIFEST in res:
        faults.append("the program carries a manifest")
    version = b"".join(res.get(RT_VERSION, {}).values())
    for text in ("Purgix", "Purgix - W32/Vorlex removal tool"):
        if text.encode("utf-16-le") + b"\0\0" not in version:
            faults.append("version block lacks %r" % text)


def main(argv):
    do_check = "--check" in argv
    paths = [a for a in argv if a != "--check"]
    if len(paths) != 1:
        print(__doc__)
        return 2
    with open(paths[0], "rb") as f:
        res = resources(f.read())
    for line in listing(res):
        print(line)
    if not do_check:
        return 0
    faults = []
    check(res, faults)
    for f in faults:
        print("FAULT:", f)
    print("%d faults" % len(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
