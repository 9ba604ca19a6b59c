"""A small reader for the PNG files the program writes (8-bit grey or RGB, or a palette of
1, 2, 4 or 8 bits, not interlaced), so that the script tests need nothing beyond Python
itself."""
import struct
import zlib


class Picture:
    def __init__(self, width, height, rows):
        self.width, self.height, self._rows = width, height, rows

    def pixel(self, x, y):
        """The colour at (x, y) as "rrggbb"."""
        row = self._rows[y]
        return "%02x%02x%02x" % tuple(row[3 * x:3 * x + 3])


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _expand_indexes(line, width, depth, palette):
    """A row of packed palette indexes, the leftmost pixel in the high bits, as RGB bytes."""
    mask, out = (1 << depth) - 1, bytearray()
    for x in range(width):
        bit = x * depth
        out += palette[(line[bit >> 3] >> (8 - depth - (bit & 7))) & mask]
    return out


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    pos, idat, width, palette = 8, b"", 0, None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if interlace or not ((colour in (0, 2) and depth == 8) or
                                 (colour == 3 and depth in (1, 2, 4, 8))):
                raise ValueError(f"{path}: unsupported PNG layout")
            channels = 3 if colour == 2 else 1
        elif kind == b"PLTE":
            palette = [bytes(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    if colour == 3 and palette is None:
        raise ValueError(f"{path}: palette missing")
    raw = zlib.decompress(idat)
    stride = (width * channels * depth + 7) // 8
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            line[i] = (line[i] + (0, left, up, (left + up) // 2, _paeth(left, up, corner))[kind]) & 255
        if colour == 2:
            rows.append(line)
        elif colour == 0:
            rows.append(bytearray(b for v in line for b in (v, v, v)))
        else:
            rows.append(_expand_indexes(line, width, depth, palette))
        previous = line
    return Picture(width, height, rows)
