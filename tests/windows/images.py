#!/usr/bin/env python3
"""Small picture helpers with no library beyond Python's own: 24-bit BMP in,
PNG out, pictures put side by side.

    images.py png IN.bmp OUT.png
    images.py side OUT.png LEFT.(bmp|png) RIGHT.(bmp|png)
"""
import struct
import sys
import zlib


class Image:
    def __init__(self, width, height, rows):
        self.width, self.height, self.rows = width, height, rows  # rows: bytes, RGB, top first

    def pixel(self, x, y):
        r = self.rows[y]
        return tuple(r[3 * x:3 * x + 3])


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24:
        raise ValueError(f"{path}: {bits} bits per pixel, only 24 are read")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        start = offset + y * stride
        bgr = data[start:start + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
        rows.append(bytes(rgb))
    if height > 0:
        rows.reverse()
    return Image(width, abs(height), rows)


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace:
        raise ValueError(f"{path}: only 8-bit RGB or RGBA, not interlaced")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    pos = 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        previous = line
        if channels == 4:
            rgb = bytearray(width * 3)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[0::4], line[1::4], line[2::4]
            rows.append(bytes(rgb))
        else:
            rows.append(bytes(line))
    return Image(width, height, rows)


def read(path):
    return read_png(path) if path.lower().endswith(".png") else read_bmp(path)


def write_png(image, path):
    raw = b"".join(b"\0" + row for row in image.rows)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", image.width, image.height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def side_by_side(left, right, gap=8):
    height = max(left.height, right.height)
    grey = bytes([128, 128, 128])
    rows = []
    for y in range(height):
        a = left.rows[y] if y < left.height else grey * left.width
        b = right.rows[y] if y < right.height else grey * right.width
        rows.append(a + grey * gap + b)
    return Image(left.width + gap + right.width, height, rows)


def main(argv):
    if len(argv) == 4 and argv[1] == "png":
        write_png(read(argv[2]), argv[3])
    elif len(argv) == 5 and argv[1] == "side":
        write_png(side_by_side(read(argv[3]), read(argv[4])), argv[2])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
