"""Paints the main window's background: blue title band, light button strip, white body, light footer, frame."""
from PIL import Image, ImageDraw

import drawing as dr
import emblems
from dialog_templates import main_window_rects
from resource_catalog import BACKGROUND_SIZE, BAND_BLUE, LIGHT_BLUE

WHITE = (255, 255, 255)
FRAME = (1, 46, 158)
RULE = (176, 204, 238)


def zones():
    """Rows where each zone begins, derived from where the controls sit."""
    r = main_window_rects()
    band_end = r[1052][1] - 2             # the big buttons stand on the strip just below the band
    strip_end = min(r[1074][1], r[1076][1]) - 4
    footer_top = min(r[1085][1], r[1080][1], r[1070][1]) - 4
    return band_end, strip_end, footer_top


def background():
    w, h = BACKGROUND_SIZE
    band_end, strip_end, footer_top = zones()
    img = Image.new("RGB", (w, h), WHITE)
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, w - 1, band_end - 1], fill=BAND_BLUE)
    # A deeper edge under the band gives it weight without touching the label's rows.
    d.rectangle([0, band_end - 2, w - 1, band_end - 1], fill=(1, 62, 206))
    d.rectangle([0, band_end, w - 1, strip_end - 1], fill=LIGHT_BLUE)
    d.line([(0, strip_end - 1), (w - 1, strip_end - 1)], fill=RULE)
    d.rectangle([0, footer_top, w - 1, h - 1], fill=LIGHT_BLUE)
    d.line([(0, footer_top), (w - 1, footer_top)], fill=RULE)
    _title(img)
    # Frame: one pixel inside the system's own border at the top and left; the region trims the
    # last column and row, so right and bottom get two.
    d.rectangle([0, 0, w - 1, h - 1], outline=FRAME)
    d.line([(w - 2, 0), (w - 2, h - 1)], fill=FRAME)
    d.line([(0, h - 2), (w - 1, h - 2)], fill=FRAME)
    return img


def _title(img):
    """Shield and product name, centred over the painted label."""
    r = main_window_rects()
    label = r[1068]
    centre_x = (label[0] + label[2]) / 2
    fnt = dr.heavy(24)
    name = "Purgix"
    tw = dr.text_size(fnt, name)[0]
    mark_w, gap = 22, 9
    left = int(round(centre_x - (mark_w + gap + tw) / 2))
    cy = (3 + label[1]) / 2
    size = img.size
    box = (left, cy - 12.5, left + mark_w, cy + 12.5)
    dr.paint(img, WHITE, dr.polygon_mask(size, emblems.shield(box)))
    inner = (box[0] + 2.4, box[1] + 2.6, box[2] - 2.4, box[3] - 2.6)
    dr.paint(img, (40, 118, 255), dr.polygon_mask(size, emblems.shield(inner)))
    x0, y0, x1, y1 = inner
    iw, ih = x1 - x0, y1 - y0
    t = emblems.tick((x0 + 0.22 * iw, y0 + 0.28 * ih, x1 - 0.2 * iw, y1 - 0.34 * ih))
    dr.paint(img, WHITE, dr.stroke_mask(size, [t], 2.4))
    dr.draw_text_at(img, left + mark_w + gap, cy, name, fnt, WHITE)
