"""Screenshot checks of the GUI tests: a control's pixels against the bitmap it should show."""
import os
import time

from PIL import Image

BITMAPS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "bitmaps")


def load(path):
    with Image.open(path) as image:
        return image.convert("RGB")


def bitmap(name):
    """A skin bitmap of res/bitmaps, e.g. bitmap("download_disable")."""
    return load(os.path.join(BITMAPS, name + ".bmp"))


def parse_rect(text):
    left, top, right, bottom = (int(v) for v in text.split())
    return left, top, right, bottom


def differing_pixels(shot, rect, picture):
    """How many pixels of the screen rectangle differ from the picture's top-left part of the same size."""
    left, top, right, bottom = rect
    width, height = right - left, bottom - top
    if width <= 0 or height <= 0 or width > picture.width or height > picture.height:
        return width * height if width > 0 and height > 0 else 1
    on_screen = shot.crop((left, top, right, bottom)).tobytes()
    expected = picture.crop((0, 0, width, height)).tobytes()
    return sum(1 for i in range(0, len(expected), 3) if on_screen[i:i + 3] != expected[i:i + 3])


def shows(shot, rect, picture):
    return differing_pixels(shot, rect, picture) == 0


def count_colour(shot, rect, colour):
    left, top, right, bottom = rect
    region = shot.crop((left, top, right, bottom))
    return sum(1 for p in region.getdata() if p == colour)


def columns_with_colour(shot, rect, colour):
    """x positions (screen) of the rectangle's columns holding at least one pixel of the colour."""
    left, top, right, bottom = rect
    found = []
    for x in range(left, right):
        if any(shot.getpixel((x, y)) == colour for y in range(top, bottom)):
            found.append(x)
    return found


def settle(take, problems, timeout=30.0):
    """Takes screenshots (take() returns a path) until problems(image) lists nothing, since a window
    may still be painting when it first shows; returns the last list (empty when all was well)."""
    deadline = time.time() + timeout
    while True:
        found = problems(load(take()))
        if not found or time.time() > deadline:
            return found
        time.sleep(0.1)
