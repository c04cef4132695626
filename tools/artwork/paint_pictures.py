"""Paints the four message-dialog pictures: information, question, warning and error."""
from PIL import Image, ImageChops

import drawing as dr
from resource_catalog import LIGHT_BLUE

SIZE = (42, 40)
# The dialog may show only the top-left part of the picture, so the mark sits there.
CX, CY, R = 18.5, 19.5, 16
WHITE = (255, 255, 255)


def _disc(img, top, bottom, rim):
    box = (CX - R, CY - R, CX + R, CY + R)
    dr.paint(img, rim, dr.ellipse_mask(SIZE, box))
    grad = dr.vertical_gradient(SIZE, top, bottom)
    dr.paint(img, grad, dr.ellipse_mask(SIZE, (box[0] + 1, box[1] + 1, box[2] - 1, box[3] - 1)))


def _text_mark(img, text, size, colour, dy=0):
    dr.draw_text_centred(img, (CX, CY + dy), text, dr.heavy(size), colour)


def information():
    img = Image.new("RGB", SIZE, LIGHT_BLUE)
    _disc(img, (60, 132, 255), (2, 70, 226), (1, 50, 170))
    dot = dr.ellipse_mask(SIZE, (CX - 2.6, CY - 10.5, CX + 2.6, CY - 5.3))
    bar = dr.rounded_mask(SIZE, (CX - 2.3, CY - 2.5, CX + 2.3, CY + 10.5), 1)
    dr.paint(img, WHITE, ImageChops.lighter(dot, bar))
    return img


def question():
    img = Image.new("RGB", SIZE, LIGHT_BLUE)
    _disc(img, (44, 170, 228), (8, 118, 196), (4, 86, 150))
    _text_mark(img, "?", 22, WHITE)
    return img


def warning():
    img = Image.new("RGB", SIZE, LIGHT_BLUE)
    top, base = 4.0, 35.5
    outer = [(CX, top), (CX + 17, base), (CX - 17, base)]
    inner = [(CX, top + 2.6), (CX + 15.2, base - 1.2), (CX - 15.2, base - 1.2)]
    dr.paint(img, (196, 128, 0), dr.polygon_mask(SIZE, outer))
    grad = dr.vertical_gradient(SIZE, (255, 214, 72), (252, 168, 0))
    dr.paint(img, grad, dr.polygon_mask(SIZE, inner))
    ink = (64, 40, 0)
    bar = dr.rounded_mask(SIZE, (CX - 1.9, 13, CX + 1.9, 26), 1.5)
    dot = dr.ellipse_mask(SIZE, (CX - 2.1, 28, CX + 2.1, 32.2))
    dr.paint(img, ink, ImageChops.lighter(bar, dot))
    return img


def error():
    img = Image.new("RGB", SIZE, LIGHT_BLUE)
    _disc(img, (244, 92, 84), (206, 32, 36), (150, 20, 24))
    k = 6.2
    cross = dr.stroke_mask(SIZE, [[(CX - k, CY - k), (CX + k, CY + k)], [(CX + k, CY - k), (CX - k, CY + k)]], 3.6)
    dr.paint(img, WHITE, cross)
    return img
