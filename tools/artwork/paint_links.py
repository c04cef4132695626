"""Paints the two text links and the maker's wordmark shown in the main window."""
from PIL import Image

import drawing as dr
import emblems
from resource_catalog import LIGHT_BLUE

LINK = (2, 77, 246)
LINK_LIT = (0, 50, 180)
WHITE = (255, 255, 255)


def _chevron(img, cx, cy, colour):
    dr.paint(img, colour, dr.stroke_mask(img.size, [emblems.chevron(cx, cy, 3.6)], 1.8))


def _shield_mark(img, box, face, tick_colour):
    size = img.size
    dr.paint(img, face, dr.polygon_mask(size, emblems.shield(box)))
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    t = emblems.tick((x0 + 0.27 * w, y0 + 0.3 * h, x1 - 0.25 * w, y1 - 0.36 * h))
    dr.paint(img, tick_colour, dr.stroke_mask(size, [t], max(1.6, w / 9)))


def download_link(state, text_centre_x):
    """350 x 43 on the white body: a shield and "Get the full Wardex anti-virus", centred on text_centre_x."""
    size = (350, 43)
    img = Image.new("RGB", size, WHITE)
    lit = state == "focus"
    fnt = dr.sans_bold(15)
    text = "Get the full Wardex anti-virus"
    tw = dr.text_size(fnt, text)[0]
    mark_w, gap, tail = 20, 9, 14
    total = mark_w + gap + tw + tail
    left = int(round(text_centre_x - total / 2))
    cy = size[1] / 2
    if lit:
        pill = dr.rounded_mask(size, (left - 10, 6, left + total + 10, 37), 15)
        dr.paint(img, (232, 242, 255), pill)
    colour = LINK_LIT if lit else LINK
    _shield_mark(img, (left, cy - 11, left + mark_w, cy + 11), colour, WHITE)
    dr.draw_text_at(img, left + mark_w + gap, cy, text, fnt, colour, underline=colour if lit else None)
    _chevron(img, left + total - 4, cy, colour)
    return img


def tools_link(state):
    """350 x 28 on the light-blue footer: "More virus removal tools", left-aligned."""
    size = (350, 28)
    img = Image.new("RGB", size, LIGHT_BLUE)
    lit = state == "focus"
    colour = LINK_LIT if lit else LINK
    fnt = dr.sans_bold(13)
    cy = size[1] / 2
    _chevron(img, 9, cy, colour)
    dr.draw_text_at(img, 17, cy, "More virus removal tools", fnt, colour, underline=colour if lit else None)
    return img


def wordmark(state):
    """100 x 36: the maker's name beside a small mark; lit, it turns to the link blue."""
    size = (100, 36)
    img = Image.new("RGB", size, LIGHT_BLUE)
    lit = state == "focus"
    ink = (2, 77, 246) if lit else (14, 42, 104)
    mark = (40, 120, 255) if lit else (2, 77, 246)
    cy = size[1] / 2
    # A rounded tile with a white T: plain, and crisp at this size.
    dr.paint(img, mark, dr.rounded_mask(size, (2, cy - 9, 20, cy + 9), 4))
    dr.draw_text_centred(img, (11, cy), "T", dr.heavy(14), WHITE)
    dr.draw_text_at(img, 24, cy, "Tarnwell", dr.sans_bold(17), ink)
    return img
