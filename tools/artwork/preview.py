"""Renders a PNG of the stored artwork in place: main window idle and scanning, a message box, every button state."""
import os
import sys

sys.dont_write_bytecode = True   # keep the source folder free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from PIL import Image, ImageDraw  # noqa: E402

import dib                                      # noqa: E402
import drawing as dr                            # noqa: E402
from dialog_templates import main_window_rects  # noqa: E402
from resource_catalog import ALL, BAND_BLUE, LIGHT_BLUE  # noqa: E402

BITMAPS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "bitmaps")


def load(name):
    entry = next(b for b in ALL if b.name == name)
    with open(os.path.join(BITMAPS, entry.file), "rb") as f:
        info = dib.parse_bmp_file(f.read())
    img = Image.new("RGB", (info.width, info.height))
    img.putdata([p for row in info.rows for p in row])
    return img


def static(img, rect, text, centred, fill=(255, 255, 255), bold=False):
    d = ImageDraw.Draw(img)
    d.rectangle([rect[0], rect[1], rect[2] - 1, rect[3] - 1], fill=fill)
    fnt = dr.sans_bold(11) if bold else dr.sans(11)
    w = dr.text_size(fnt, text)[0]
    x = (rect[0] + rect[2] - w) // 2 if centred else rect[0]
    d.text((x, rect[1]), text, font=fnt, fill=(0, 0, 0))


def painted_label(img, rect, text):
    fnt = dr.sans_bold(15)
    w = dr.text_size(fnt, text)[0]
    x = (rect[0] + rect[2] - w) // 2
    d = ImageDraw.Draw(img)
    bbox = d.textbbox((x, rect[1]), text, font=fnt)
    d.rectangle([x, rect[1], bbox[2], min(rect[3], rect[1] + 17) - 1], fill=BAND_BLUE)
    d.text((x, rect[1]), text, font=fnt, fill=(255, 255, 255))


def group_box(img, rect, title):
    d = ImageDraw.Draw(img)
    top = rect[1] + 6
    d.rectangle([rect[0], top, rect[2] - 1, rect[3] - 1], outline=(120, 120, 120))
    if title:
        fnt = dr.sans(11)
        w = dr.text_size(fnt, title)[0]
        d.rectangle([rect[0] + 8, rect[1], rect[0] + 12 + w, rect[1] + 12], fill=(255, 255, 255))
        d.text((rect[0] + 10, rect[1]), title, font=fnt, fill=(0, 0, 0))


def window(state):
    r = main_window_rects()
    img = load(156)

    def put(name, cid):
        b = load(name)
        img.paste(b, r[cid][:2])

    put("X_NOTFOCUS", 1054)
    put("TARNWELLLOGO_NOTFOCUS", 1085)
    painted_label(img, r[1068], "for W32/Vorlex Trojan ")
    if state == "idle":
        put("SCAN_FOCUS", 1052)
        put("DOWNLOAD_NOTFOCUS", 1053)
        put("ULINK_NOTFOCUS", 1080)
        put("DLINK_FOCUS", 1077)
        static(img, r[1074], "Purgix Ver 1.0 - Tool to detect and remove all the variants of W32/Vorlex Trojan ", True)
        static(img, r[1072], "Copyright (c) Tarnwell Software. All rights reserved.", True)
    else:
        put("SCAN_DISABLE", 1052)
        put("DOWNLOAD_NOTFOCUS", 1053)
        put("CANCEL_FOCUS", 2)
        static(img, r[1076], "Searching for W32/Vorlex Trojan and its variants", False, bold=True)
        group_box(img, r[1064], "Scanning")
        static(img, r[1065], "C:\\Program Files\\Common Files\\System\\msadc\\msadcf.dll", False)
        group_box(img, r[1034], "")
        lr = r[1055]
        d = ImageDraw.Draw(img)
        d.rectangle([lr[0], lr[1], lr[2] - 1, lr[3] - 1], fill=(255, 255, 255))
        fnt = dr.sans(11)
        lines = ["System Memory     W32/Vorlex.Trojan  removed",
                 "C:\\WINDOWS\\SYSTEM32\\msvsrv.exe     W32/Vorlex.Trojan  removed"]
        for i, line in enumerate(lines):
            d.text((lr[0] + 2, lr[1] + 2 + 13 * i), line, font=fnt, fill=(0, 0, 0))
    frame = Image.new("RGB", (img.size[0] + 1, img.size[1] + 1), (0, 0, 0))
    frame.paste(img.crop((0, 0, img.size[0] - 1, img.size[1] - 1)), (1, 1))
    return frame


def message_box(picture, text, buttons):
    w, h = 293, 95
    img = Image.new("RGB", (w, h + 22), LIGHT_BLUE)
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, w - 1, 21], fill=(10, 36, 106))
    d.text((6, 4), "Purgix Ver 1.0", font=dr.sans_bold(11), fill=(255, 255, 255))
    img.paste(load(picture), (22, 22 + 4))
    d.text((80, 22 + 12), text, font=dr.sans(11), fill=(0, 0, 0))
    x = (w - len(buttons) * 100) // 2 + 4
    for i, b in enumerate(buttons):
        img.paste(load(b), (x + i * 104, 22 + 60))
    d.rectangle([0, 0, w - 1, h + 21], outline=(0, 0, 0))
    return img


def sheet():
    names = [b.name for b in ALL if isinstance(b.name, str)]
    tiles = [load(n) for n in names]
    width = 760
    rows, x, y, rowh = [], 0, 0, 0
    for t in tiles:
        if x + t.size[0] > width:
            x, y = 0, y + rowh + 6
            rowh = 0
        rows.append((t, x, y))
        x += t.size[0] + 6
        rowh = max(rowh, t.size[1])
    icon = load_icon()
    img = Image.new("RGB", (width, y + rowh + 200), (255, 255, 255))
    for t, x, y0 in rows:
        img.paste(t, (x, y0))
    img.paste(icon, (0, y + rowh + 8))
    img.paste(icon.resize((192, 192), Image.NEAREST), (60, y + rowh + 8))
    return img


def load_icon():
    with open(os.path.join(BITMAPS, "..", "purgix.ico"), "rb") as f:
        _entry, info = dib.parse_ico_file(f.read())[0]
    img = Image.new("RGB", (info.width, info.height))
    img.putdata([p for row in info.rows for p in row])
    return img


def main(out):
    idle, scanning = window("idle"), window("scan")
    boxes = [message_box(153, "Terminate the Scan now?", ["YES_FOCUS", "NO_NOTFOCUS"]),
             message_box(152, "Infected process found.", ["OK_NOTFOCUS", "CANCEL_FOCUS"]),
             message_box(154, "Warning text", ["OK_FOCUS"]),
             message_box(155, "Error text", ["OK_NOTFOCUS"])]
    sh = sheet()
    W = idle.size[0] * 2 + 20
    H = idle.size[1] + 20 + boxes[0].size[1] * 2 + 30 + sh.size[1]
    canvas = Image.new("RGB", (max(W, sh.size[0]) + 20, H + 20), (58, 110, 165))
    canvas.paste(idle, (10, 10))
    canvas.paste(scanning, (20 + idle.size[0], 10))
    y = 20 + idle.size[1]
    for i, b in enumerate(boxes):
        canvas.paste(b, (10 + (i % 2) * (b.size[0] + 10), y + (i // 2) * (b.size[1] + 10)))
    canvas.paste(sh, (10, y + 2 * (boxes[0].size[1] + 10)))
    canvas.save(out)
    print("wrote", out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build/h4-preview.png")
