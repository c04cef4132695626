"""Paints the 48 x 48 program icon: the product's shield with its tick."""
from PIL import Image

import drawing as dr
import emblems

SIZE = 48


def icon():
    """Returns (RGB image, opacity mask as L) of the icon."""
    size = (SIZE, SIZE)
    outer = (4, 2, 44, 46)
    img = Image.new("RGB", size, (1, 40, 140))
    rim = dr.polygon_mask(size, emblems.shield(outer))
    inner = (outer[0] + 2.5, outer[1] + 2.5, outer[2] - 2.5, outer[3] - 3)
    dr.paint(img, dr.vertical_gradient(size, (72, 146, 255), (2, 66, 220)), dr.polygon_mask(size, emblems.shield(inner)))
    # Light left half: the usual two-tone shield, read as depth.
    x0, y0, x1, y1 = inner
    half = dr.shape_mask(size, lambda d, s: d.rectangle([x0 * s, y0 * s, (x0 + x1) / 2 * s, y1 * s], fill=255))
    half = Image.composite(half, Image.new("L", size, 0), dr.polygon_mask(size, emblems.shield(inner)))
    dr.paint(img, (255, 255, 255), half.point(lambda v: v * 16 // 100))
    t = emblems.tick((14, 14, 35, 33))
    dr.paint(img, (255, 255, 255), dr.stroke_mask(size, [t], 5))
    return img, rim
