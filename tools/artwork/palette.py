"""Turns rendered RGB pictures into the stored forms: exact colours kept, 3-D greys avoided, tables of fixed size."""
from PIL import Image

from resource_catalog import FORBIDDEN_GREYS, REGION_KEY


def avoid_reserved(colour, extra=()):
    """The nearest colour that LoadImage's 3-D mapping leaves alone (and that is not in extra)."""
    r, g, b = colour
    while (r, g, b) in FORBIDDEN_GREYS or (r, g, b) in extra:
        b = b + 1 if b < 255 else b - 1
    return (r, g, b)


def clean_rgb(image, extra=()):
    """An RGB image with every forbidden grey (and extra colour) nudged by one step of blue."""
    image = image.convert("RGB")
    bad = [c for c in image.getcolors(1 << 24) if c[1] in FORBIDDEN_GREYS or c[1] in extra]
    if not bad:
        return image
    data = [avoid_reserved(p, extra) for p in image.getdata()]
    out = Image.new("RGB", image.size)
    out.putdata(data)
    return out


def rows_of(image):
    w, h = image.size
    data = list(image.getdata())
    return [data[y * w:(y + 1) * w] for y in range(h)]


def indexed(image, entries, keep=(), pad=(0, 0, 0), extra_forbidden=()):
    """Palette and index rows for an image that must fit `entries` colours.

    Colours in `keep` stay exact (they are shared with the code); the rest are reduced with a
    median cut without dithering, which is deterministic. The table is padded to `entries`."""
    image = clean_rgb(image, extra_forbidden)
    counts = image.getcolors(1 << 24)
    keep = [c for c in keep if any(c == col for _, col in counts)]
    if len(counts) <= entries:
        palette = sorted(col for _, col in counts)
        lookup = {c: i for i, c in enumerate(palette)}
        index_rows = [[lookup[p] for p in row] for row in rows_of(image)]
    else:
        budget = entries - len(keep)
        reduced = image.quantize(colors=budget, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
        raw = reduced.getpalette()[:3 * budget]
        palette = [avoid_reserved(tuple(raw[3 * i:3 * i + 3]), extra_forbidden) for i in range(budget)]
        palette += list(keep)
        keep_index = {c: budget + i for i, c in enumerate(keep)}
        w = image.size[0]
        q = list(reduced.getdata())
        src = list(image.getdata())
        flat = [keep_index.get(src[i], q[i]) for i in range(len(src))]
        index_rows = [flat[y * w:(y + 1) * w] for y in range(image.size[1])]
    pad = avoid_reserved(pad, extra_forbidden)
    palette = palette + [pad] * (entries - len(palette))
    return palette, index_rows


def background_indexed(image, entries, keep):
    """Like indexed, for the window background: the region key colour must not appear at all."""
    return indexed(image, entries, keep=keep, extra_forbidden=(REGION_KEY,))
