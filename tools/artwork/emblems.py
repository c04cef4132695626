"""Outline geometry of the recurring marks: the shield of the product, its tick, the magnifier and arrows."""


def _quad(p0, c, p1, steps=24):
    pts = []
    for i in range(1, steps + 1):
        t = i / steps
        a, b, d = (1 - t) ** 2, 2 * (1 - t) * t, t * t
        pts.append((a * p0[0] + b * c[0] + d * p1[0], a * p0[1] + b * c[1] + d * p1[1]))
    return pts


def shield(box):
    """Points of a heraldic shield filling box (left, top, right, bottom)."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0

    def at(u, v):
        return (x0 + u * w, y0 + v * h)

    right = [at(0.5, 0.0)]
    right += _quad(at(0.5, 0.0), at(0.76, 0.13), at(1.0, 0.12))
    right += _quad(at(1.0, 0.12), at(1.0, 0.40), at(0.97, 0.55))
    right += _quad(at(0.97, 0.55), at(0.86, 0.86), at(0.5, 1.0))
    left = [(2 * (x0 + w / 2) - x, y) for x, y in reversed(right[1:-1])]
    return right + left


def tick(box):
    """A check mark inside box, as one polyline."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    return [(x0 + 0.0 * w, y0 + 0.55 * h), (x0 + 0.36 * w, y0 + 0.9 * h), (x0 + 1.0 * w, y0 + 0.1 * h)]


def magnifier(cx, cy, r):
    """Lens circle box and handle line of a magnifying glass whose lens is centred at (cx, cy)."""
    lens = (cx - r, cy - r, cx + r, cy + r)
    k = 0.7071 * r
    handle = [(cx + k, cy + k), (cx + k + 0.9 * r, cy + k + 0.9 * r)]
    return lens, handle


def down_arrow(cx, top, bottom, half_width):
    """Shaft and head polylines of an arrow pointing down onto a tray line."""
    shaft = [(cx, top), (cx, bottom - 2)]
    head = [(cx - half_width, bottom - 2 - half_width), (cx, bottom - 2), (cx + half_width, bottom - 2 - half_width)]
    return shaft, head


def chevron(cx, cy, size):
    """A right-pointing chevron, as a polyline."""
    return [(cx - size / 2, cy - size), (cx + size / 2, cy), (cx - size / 2, cy + size)]
