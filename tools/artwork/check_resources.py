"""Checks the committed bitmaps, the icon and their listing in purgix.rc; exits non-zero on any fault."""
import os
import re
import sys

sys.dont_write_bytecode = True   # keep the source folder free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import dib                                      # noqa: E402
from dialog_templates import main_window_rects  # noqa: E402
from resource_catalog import (ALL, BAND_BLUE, FORBIDDEN_GREYS, ICON_SIZE, REGION_KEY)  # noqa: E402

RES = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res"))


def label_band():
    """Rows and columns of the background under the painted label, with two pixels to spare."""
    l, t, r, b = main_window_rects()[1068]
    return (l - 2, t - 2, r + 2, b + 2)


def check_bitmap(entry, info, faults):
    name = entry.name
    if (info.width, info.height) != entry.size:
        faults.append("%s: %dx%d, expected %dx%d" % (name, info.width, info.height, *entry.size))
        return
    if info.bits != entry.bits:
        faults.append("%s: %d bits per pixel, expected %d" % (name, info.bits, entry.bits))
    if info.bits == 24 and info.clr_used:
        faults.append("%s: 24-bit bitmap with a colour table" % name)
    if info.bits <= 8:
        if not info.clr_used:
            faults.append("%s: colour table length not stated" % name)
        if entry.palette is not None and info.clr_used != entry.palette:
            faults.append("%s: %d colour-table entries, expected %d" % (name, info.clr_used, entry.palette))
    colours = info.colours()
    for grey in FORBIDDEN_GREYS:
        if grey in colours:
            faults.append("%s: pixel of 3-D grey %s" % (name, grey))
        if grey in info.palette:
            faults.append("%s: 3-D grey %s in the colour table" % (name, grey))
    w, h = entry.size
    if entry.backdrop is not None:
        for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
            if info.rows[y][x] != entry.backdrop:
                faults.append("%s: corner (%d, %d) is %s, expected %s" % (name, x, y, info.rows[y][x], entry.backdrop))
    if name == 156:
        if REGION_KEY in colours:
            faults.append("156: pixel of the region key colour %s" % (REGION_KEY,))
        l, t, r, b = label_band()
        off = [(x, y) for y in range(t, b) for x in range(l, r) if info.rows[y][x] != BAND_BLUE]
        if off:
            faults.append("156: %d pixels under the painted label are not %s, first %s" % (len(off), BAND_BLUE, off[0]))


def check_icon(path, faults):
    with open(path, "rb") as f:
        data = f.read()
    images = dib.parse_ico_file(data)
    if len(images) != 1:
        faults.append("icon: %d images, expected 1" % len(images))
    for entry, info in images:
        if (entry["width"], entry["height"], entry["bits"], entry["planes"]) != (ICON_SIZE, ICON_SIZE, 24, 1):
            faults.append("icon: directory entry %s" % entry)
        if (info.width, info.height, info.bits) != (ICON_SIZE, ICON_SIZE, 24):
            faults.append("icon: image %dx%d at %d bits" % (info.width, info.height, info.bits))
        for grey in FORBIDDEN_GREYS:
            if grey in info.colours():
                faults.append("icon: pixel of 3-D grey %s" % (grey,))


def check_rc(path, faults):
    """Every catalogued bitmap is listed once under its name, and nothing else is."""
    numbers = {"IDB_PICTURE_INFO": 152, "IDB_PICTURE_QUESTION": 153, "IDB_PICTURE_WARNING": 154,
               "IDB_PICTURE_ERROR": 155, "IDB_BACKGROUND": 156}
    with open(path) as f:
        text = f.read()
    listed = {}
    for name, file in re.findall(r'^\s*(\w+)\s+BITMAP\s+"([^"]+)"', text, re.M):
        key = numbers.get(name, name)
        if key in listed:
            faults.append("purgix.rc: %s listed twice" % name)
        listed[key] = file
    for entry in ALL:
        file = listed.pop(entry.name, None)
        if file != "bitmaps/" + entry.file:
            faults.append("purgix.rc: %s lists %s, expected bitmaps/%s" % (entry.name, file, entry.file))
    for name in listed:
        faults.append("purgix.rc: unexpected bitmap %s" % name)
    if not re.search(r'^\s*IDI_MAIN\s+ICON\s+"purgix.ico"', text, re.M):
        faults.append("purgix.rc: icon purgix.ico not listed as IDI_MAIN")


def main():
    faults = []
    bitmaps = os.path.join(RES, "bitmaps")
    expected = {e.file for e in ALL}
    for extra in sorted(set(os.listdir(bitmaps)) - expected):
        faults.append("unexpected file bitmaps/%s" % extra)
    for entry in ALL:
        path = os.path.join(bitmaps, entry.file)
        try:
            with open(path, "rb") as f:
                info = dib.parse_bmp_file(f.read())
        except (OSError, ValueError) as e:
            faults.append("%s (%s): %s" % (entry.name, entry.file, e))
            continue
        check_bitmap(entry, info, faults)
    try:
        check_icon(os.path.join(RES, "purgix.ico"), faults)
    except (OSError, ValueError) as e:
        faults.append("icon: %s" % e)
    check_rc(os.path.join(RES, "purgix.rc"), faults)
    for f in faults:
        print("FAULT:", f)
    print("%d bitmaps and the icon checked, %d faults" % (len(ALL), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
