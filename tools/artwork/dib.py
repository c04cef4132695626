"""Reads and writes the uncompressed BMP files and the single-image icon that Purgix.exe embeds."""
import struct

FILE_HEADER = struct.Struct("<2sIHHI")          # bfType, bfSize, reserved, reserved, bfOffBits
INFO_HEADER = struct.Struct("<IiiHHIIiiII")     # BITMAPINFOHEADER, 40 bytes


def _row_bytes(width, bits):
    return ((width * bits + 31) // 32) * 4


def _pack_row(indices_or_pixels, width, bits):
    """One stored row: palette indices for 4/8 bits, (r, g, b) tuples for 24 bits."""
    out = bytearray()
    if bits == 24:
        for r, g, b in indices_or_pixels:
            out += bytes((b, g, r))
    elif bits == 8:
        out += bytes(indices_or_pixels)
    elif bits == 4:
        row = list(indices_or_pixels)
        if len(row) % 2:
            row.append(0)
        for i in range(0, len(row), 2):
            out.append((row[i] << 4) | row[i + 1])
    else:
        raise ValueError("unsupported depth %d" % bits)
    out += bytes(_row_bytes(width, bits) - len(out))
    return bytes(out)


def dib_bytes(width, height, bits, rows, palette=None):
    """BITMAPINFOHEADER + colour table + bottom-up pixel rows; rows are given top row first."""
    palette = palette or []
    if bits <= 8 and not (1 <= len(palette) <= (1 << bits)):
        raise ValueError("palette of %d entries for %d bits" % (len(palette), bits))
    image = b"".join(_pack_row(rows[y], width, bits) for y in range(height - 1, -1, -1))
    clr_used = len(palette) if bits <= 8 else 0
    header = INFO_HEADER.pack(40, width, height, 1, bits, 0, len(image), 2835, 2835, clr_used, 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + table + image


def write_bmp(path, width, height, bits, rows, palette=None):
    dib = dib_bytes(width, height, bits, rows, palette)
    clr_used = struct.unpack_from("<I", dib, 32)[0]
    offset = FILE_HEADER.size + 40 + 4 * clr_used
    with open(path, "wb") as f:
        f.write(FILE_HEADER.pack(b"BM", FILE_HEADER.size + len(dib), 0, 0, offset))
        f.write(dib)


def write_ico(path, size, pixels, opaque):
    """One size x size image at 24 bits; opaque[y][x] False marks a transparent pixel (AND bit set)."""
    xor_rows = [[pixels[y][x] if opaque[y][x] else (0, 0, 0) for x in range(size)] for y in range(size)]
    xor = b"".join(_pack_row(xor_rows[y], size, 24) for y in range(size - 1, -1, -1))
    mask = bytearray()
    mask_row = _row_bytes(size, 1)
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_row)
        for x in range(size):
            if not opaque[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = INFO_HEADER.pack(40, size, size * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + bytes(mask)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1))
        f.write(struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 24, len(image), 6 + 16))
        f.write(image)


class DibInfo:
    """What a stored DIB says about itself, and its pixels as (r, g, b) rows, top row first."""

    def __init__(self, width, height, bits, compression, clr_used, palette, rows):
        self.width, self.height, self.bits = width, height, bits
        self.compression, self.clr_used = compression, clr_used
        self.palette, self.rows = palette, rows

    def colours(self):
        return {p for row in self.rows for p in row}


def parse_dib(data, image_height=None):
    """Parses a packed DIB (as in a bitmap resource); raises ValueError on anything malformed."""
    if len(data) < 40:
        raise ValueError("short header")
    (size, width, height, planes, bits, compression, _img, _xr, _yr,
     clr_used, _imp) = INFO_HEADER.unpack_from(data, 0)
    if size != 40 or planes != 1 or width <= 0 or height == 0:
        raise ValueError("not a plain BITMAPINFOHEADER")
    if compression != 0:
        raise ValueError("compressed bitmap")
    if bits not in (4, 8, 24):
        raise ValueError("depth %d" % bits)
    bottom_up = height > 0
    height = abs(height) if image_height is None else image_height
    entries = 0
    if bits <= 8:
        entries = clr_used or (1 << bits)
        if entries > (1 << bits):
            raise ValueError("colour table too long")
    off = 40
    if len(data) < off + 4 * entries:
        raise ValueError("short colour table")
    palette = [(data[off + 4 * i + 2], data[off + 4 * i + 1], data[off + 4 * i]) for i in range(entries)]
    off += 4 * entries
    stride = _row_bytes(width, bits)
    if len(data) < off + stride * height:
        raise ValueError("short pixel data")
    rows = []
    for r in range(height):
        base = off + stride * r
        raw = data[base:base + stride]
        if bits == 24:
            row = [(raw[3 * x + 2], raw[3 * x + 1], raw[3 * x]) for x in range(width)]
        else:
            if bits == 8:
                idx = list(raw[:width])
            else:
                idx = [(raw[x // 2] >> (4 if x % 2 == 0 else 0)) & 15 for x in range(width)]
            if max(idx) >= entries:
                raise ValueError("pixel index past the colour table")
            row = [palette[i] for i in idx]
        rows.append(row)
    if bottom_up:
        rows.reverse()
    return DibInfo(width, height, bits, compression, clr_used, palette, rows)


def parse_bmp_file(data):
    if len(data) < FILE_HEADER.size or data[:2] != b"BM":
        raise ValueError("not a BMP file")
    _t, _size, _r1, _r2, off_bits = FILE_HEADER.unpack_from(data, 0)
    info = parse_dib(data[FILE_HEADER.size:])
    expected = FILE_HEADER.size + 40 + 4 * len(info.palette)
    if off_bits != expected:
        raise ValueError("pixel offset %d, expected %d" % (off_bits, expected))
    return info


def parse_ico_file(data):
    """Returns [(directory entry dict, DibInfo of the XOR image)] for every image."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1 or count == 0:
        raise ValueError("not an icon file")
    images = []
    for i in range(count):
        w, h, colours, _res, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        entry = dict(width=w or 256, height=h or 256, colours=colours, planes=planes, bits=bits,
                     size=size, offset=offset)
        blob = data[offset:offset + size]
        if len(blob) != size:
            raise ValueError("icon image past the end of the file")
        info = parse_dib(blob, image_height=abs(struct.unpack_from("<i", blob, 8)[0]) // 2)
        mask_size = _row_bytes(info.width, 1) * info.height
        xor_end = 40 + 4 * len(info.palette) + _row_bytes(info.width, info.bits) * info.height
        if len(blob) < xor_end + mask_size:
            raise ValueError("icon image without a full AND mask")
        images.append((entry, info))
    return images
