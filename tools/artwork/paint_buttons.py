"""Paints the push-button pictures: the two big main-window buttons, the four dialog buttons and the close cross."""
from PIL import Image, ImageChops

import drawing as dr
import emblems
from resource_catalog import BAND_BLUE, LIGHT_BLUE

WHITE = (255, 255, 255)

# Big buttons: (top, bottom, border) of the normal face, the lit face and the glow around the lit one.
SCHEMES = {
    "blue": dict(normal=((42, 112, 252), (2, 66, 214), (1, 46, 160)),
                 lit=((104, 166, 255), (18, 96, 250), (2, 62, 200)),
                 glow=(120, 176, 255)),
    "green": dict(normal=((58, 178, 92), (26, 128, 56), (16, 94, 40)),
                  lit=((108, 212, 134), (40, 160, 76), (22, 118, 52)),
                  glow=(118, 214, 146)),
}
DISABLED_FACE = ((226, 232, 240), (206, 214, 226), (166, 178, 196))
DISABLED_INK = (146, 158, 176)


def _face(size, box, radius, top, bottom, border):
    """A rounded face with a 1-pixel border and a soft top highlight, on the shared light blue."""
    img = Image.new("RGB", size, LIGHT_BLUE)
    x0, y0, x1, y1 = box
    dr.paint(img, border, dr.rounded_mask(size, box, radius))
    inner = (x0 + 1, y0 + 1, x1 - 1, y1 - 1)
    shifted = Image.new("RGB", size, top)
    shifted.paste(dr.vertical_gradient((size[0], y1 - y0), top, bottom), (0, y0))
    dr.paint(img, shifted, dr.rounded_mask(size, inner, radius - 1))
    shine = dr.rounded_mask(size, (x0 + 2, y0 + 1, x1 - 2, y0 + 2), 1).point(lambda v: v * 45 // 100)
    dr.paint(img, dr.mix(top, WHITE, 0.6), shine)
    return img


def _glow(img, box, radius, colour):
    """A two-pixel halo around the face, drawn under it."""
    size = img.size
    x0, y0, x1, y1 = box
    halo = dr.rounded_mask(size, (x0 - 2, y0 - 2, x1 + 2, y1 + 2), radius + 2).point(lambda v: v * 70 // 100)
    under = Image.new("RGB", size, LIGHT_BLUE)
    dr.paint(under, colour, halo)
    face_mask = dr.rounded_mask(size, box, radius)
    under.paste(img, (0, 0), face_mask)
    return under


def _scan_glyph(size, cx, cy):
    lens, handle = emblems.magnifier(cx - 2, cy - 2, 5.5)
    ring = dr.ellipse_mask(size, lens)
    hole = dr.ellipse_mask(size, (lens[0] + 2, lens[1] + 2, lens[2] - 2, lens[3] - 2))
    ring = Image.composite(Image.new("L", size, 0), ring, hole)
    stick = dr.stroke_mask(size, [handle], 3)
    return _max_mask(ring, stick)


def _download_glyph(size, cx, cy):
    shaft, head = emblems.down_arrow(cx, cy - 8, cy + 5, 4.5)
    arrow = dr.stroke_mask(size, [shaft, head], 2.4)
    tray = dr.stroke_mask(size, [[(cx - 7, cy + 4), (cx - 7, cy + 7.5), (cx + 7, cy + 7.5), (cx + 7, cy + 4)]], 2)
    return _max_mask(arrow, tray)


def _max_mask(a, b):
    return ImageChops.lighter(a, b)


GLYPHS = {"scan": _scan_glyph, "download": _download_glyph}


def big_button(caption, glyph, scheme, state):
    """180 x 33: state is 'normal', 'focus' or 'disable'."""
    size = (180, 33)
    box = (3, 3, 177, 30)
    radius = 6
    if state == "disable":
        top, bottom, border = DISABLED_FACE
        img = _face(size, box, radius, top, bottom, border)
        ink = DISABLED_INK
    else:
        top, bottom, border = SCHEMES[scheme]["lit" if state == "focus" else "normal"]
        img = _face(size, box, radius, top, bottom, border)
        if state == "focus":
            img = _glow(img, box, radius, SCHEMES[scheme]["glow"])
        ink = WHITE
    fnt = dr.sans_bold(16)
    tw, _th, _l, _t = dr.text_size(fnt, caption)
    glyph_w, gap = 18, 9
    left = (size[0] - (glyph_w + gap + tw)) // 2
    cy = (box[1] + box[3]) / 2
    dr.paint(img, ink, GLYPHS[glyph](size, left + glyph_w / 2, cy))
    dr.draw_text_at(img, left + glyph_w + gap, cy, caption, fnt, ink)
    return img


def dialog_button(caption, state):
    """92 x 24 button of the message dialog (and OK/Cancel of the main window)."""
    size = (92, 24)
    box = (1, 1, 91, 23)
    radius = 5
    if state == "focus":
        img = _face(size, box, radius, (70, 138, 255), (2, 77, 246), (1, 52, 176))
        ink = WHITE
    else:
        img = _face(size, box, radius, (255, 255, 255), (232, 240, 251), (112, 150, 214))
        ink = (2, 56, 178)
    fnt = dr.sans_bold(13)
    dr.draw_text_centred(img, ((box[0] + box[2]) / 2, (box[1] + box[3]) / 2), caption, fnt, ink)
    return img


def close_cross(state):
    """21 x 21 close button on the title band."""
    size = (21, 21)
    img = Image.new("RGB", size, BAND_BLUE)
    if state == "focus":
        dr.paint(img, (222, 56, 56), dr.rounded_mask(size, (1, 1, 20, 20), 4))
    cross = dr.stroke_mask(size, [[(6.5, 6.5), (14.5, 14.5)], [(14.5, 6.5), (6.5, 14.5)]], 2.2)
    dr.paint(img, WHITE, cross)
    return img
