"""Generates every bitmap and the icon of Purgix.exe into res/bitmaps/ and res/purgix.ico (deterministic).

Run with /usr/bin/python3 (Debian's python3-pil; fonts from fonts-dejavu-core and fonts-liberation), then
check with check_resources.py and look at the result with preview.py."""
import os
import sys

sys.dont_write_bytecode = True   # keep the source folder free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import dib                                   # noqa: E402
import paint_background                      # noqa: E402
import paint_buttons as pb                   # noqa: E402
import paint_icon                            # noqa: E402
import paint_links                           # noqa: E402
import paint_pictures                        # noqa: E402
import palette                               # noqa: E402
from dialog_templates import main_window_rects  # noqa: E402
from resource_catalog import ALL, BAND_BLUE, LIGHT_BLUE  # noqa: E402

REPO = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
BITMAPS = os.path.join(REPO, "res", "bitmaps")
ICON = os.path.join(REPO, "res", "purgix.ico")


def _dlink_text_centre():
    # The link stands in for the installed-product notice, so its text centres where that notice does.
    r = main_window_rects()
    notice = r[1075]
    return (notice[0] + notice[2]) / 2 - r[1077][0]


def painters():
    p = {}
    for caption in ("Cancel", "OK", "Yes", "No"):
        for state in ("focus", "notfocus"):
            p["%s_%s" % (caption.upper(), state.upper())] = lambda c=caption, s=state: pb.dialog_button(c, s)
    for name, caption, glyph, scheme in (("SCAN", "Scan", "scan", "blue"),
                                         ("DOWNLOAD", "Download", "download", "green")):
        for state in ("focus", "notfocus", "disable"):
            p["%s_%s" % (name, state.upper())] = \
                lambda c=caption, g=glyph, sc=scheme, s=state: pb.big_button(c, g, sc, s)
    for state in ("focus", "notfocus"):
        S = state.upper()
        p["X_" + S] = lambda s=state: pb.close_cross(s)
        p["DLINK_" + S] = lambda s=state: paint_links.download_link(s, _dlink_text_centre())
        p["ULINK_" + S] = lambda s=state: paint_links.tools_link(s)
        p["TARNWELLLOGO_" + S] = lambda s=state: paint_links.wordmark(s)
    p[152] = paint_pictures.information
    p[153] = paint_pictures.question
    p[154] = paint_pictures.warning
    p[155] = paint_pictures.error
    p[156] = paint_background.background
    return p


def store(entry, image):
    if image.size != entry.size:
        raise SystemExit("%s painted at %s, wanted %s" % (entry.name, image.size, entry.size))
    path = os.path.join(BITMAPS, entry.file)
    w, h = entry.size
    if entry.bits == 24:
        dib.write_bmp(path, w, h, 24, palette.rows_of(palette.clean_rgb(image)))
        return
    keep = (LIGHT_BLUE, BAND_BLUE, (255, 255, 255))
    if entry.name == 156:
        table, rows = palette.background_indexed(image, entry.palette, keep)
    else:
        table, rows = palette.indexed(image, 1 << entry.bits, keep=keep)
    dib.write_bmp(path, w, h, entry.bits, rows, table)


def store_icon():
    img, mask = paint_icon.icon()
    img = palette.clean_rgb(img)
    px = palette.rows_of(img)
    m = palette.rows_of(mask)
    opaque = [[v >= 128 for v in row] for row in m]
    dib.write_ico(ICON, img.size[0], px, opaque)


def main():
    os.makedirs(BITMAPS, exist_ok=True)
    p = painters()
    for entry in ALL:
        store(entry, p[entry.name]())
    store_icon()
    print("wrote %d bitmaps to %s and %s" % (len(ALL), BITMAPS, ICON))


if __name__ == "__main__":
    main()
