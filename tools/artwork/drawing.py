"""Small drawing helpers shared by the artwork painters: fonts, smooth shapes, gradients, centred text."""
import os

from PIL import Image, ImageDraw, ImageFont

FONT_DIRS = ("/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/truetype/liberation")
SS = 4   # supersampling factor for shapes


def font(name, size):
    for d in FONT_DIRS:
        path = os.path.join(d, name)
        if os.path.exists(path):
            return ImageFont.truetype(path, size, layout_engine=ImageFont.Layout.BASIC)
    raise SystemExit("font %s missing: run tools/install-deps.sh" % name)


def sans(size):
    return font("LiberationSans-Regular.ttf", size)


def sans_bold(size):
    return font("LiberationSans-Bold.ttf", size)


def heavy(size):
    return font("DejaVuSans-Bold.ttf", size)


def mix(a, b, t):
    """Colour t of the way from a to b."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def vertical_gradient(size, top, bottom):
    w, h = size
    img = Image.new("RGB", size)
    d = ImageDraw.Draw(img)
    for y in range(h):
        d.line([(0, y), (w - 1, y)], fill=mix(top, bottom, y / max(1, h - 1)))
    return img


def shape_mask(size, draw_fn):
    """An anti-aliased L mask: draw_fn(draw, scale) paints white shapes at SS times the size."""
    w, h = size
    big = Image.new("L", (w * SS, h * SS), 0)
    draw_fn(ImageDraw.Draw(big), SS)
    return big.resize(size, Image.BOX)


def rounded_mask(size, box, radius):
    x0, y0, x1, y1 = box
    return shape_mask(size, lambda d, s: d.rounded_rectangle(
        [x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], radius=radius * s, fill=255))


def ellipse_mask(size, box):
    x0, y0, x1, y1 = box
    return shape_mask(size, lambda d, s: d.ellipse([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], fill=255))


def polygon_mask(size, points):
    return shape_mask(size, lambda d, s: d.polygon([(x * s, y * s) for x, y in points], fill=255))


def stroke_mask(size, lines, width):
    """Round-capped strokes through the given point lists."""
    def paint(d, s):
        for pts in lines:
            p = [(x * s, y * s) for x, y in pts]
            d.line(p, fill=255, width=int(width * s), joint="curve")
            r = width * s / 2
            for x, y in (p[0], p[-1]):
                d.ellipse([x - r, y - r, x + r, y + r], fill=255)
    return shape_mask(size, paint)


def paint(base, layer_or_colour, mask):
    """Composite a colour or an image onto base through mask (in place)."""
    if isinstance(layer_or_colour, tuple):
        layer_or_colour = Image.new("RGB", base.size, layer_or_colour)
    base.paste(layer_or_colour, (0, 0), mask)


def text_size(fnt, text):
    l, t, r, b = fnt.getbbox(text)
    return r - l, b - t, l, t


def draw_text_centred(img, centre, text, fnt, colour):
    """Draw text so its ink box is centred on centre (cx, cy)."""
    w, h, l, t = text_size(fnt, text)
    x = int(round(centre[0] - w / 2 - l))
    y = int(round(centre[1] - h / 2 - t))
    ImageDraw.Draw(img).text((x, y), text, font=fnt, fill=colour)
    return (x + l, y + t, x + l + w, y + t + h)


def draw_text_at(img, left, centre_y, text, fnt, colour, underline=None):
    """Draw text with its ink starting at left, vertically centred on the cap height; returns its box."""
    w, _h, l, _t = text_size(fnt, text)
    cap_l, cap_t, cap_r, cap_b = fnt.getbbox("H")
    y = int(round(centre_y - (cap_b - cap_t) / 2 - cap_t))
    x = left - l
    d = ImageDraw.Draw(img)
    d.text((x, y), text, font=fnt, fill=colour)
    if underline is not None:
        uy = y + cap_b + 2
        d.line([(left, uy), (left + w - 1, uy)], fill=underline, width=1)
    return (left, y + cap_t, left + w, y + cap_b)
