#!/usr/bin/env python3
"""Draws Velmora's icon: a hosts sheet with a toggle switch over a teal tile.

Writes app/icons/velmora-<N>.png for the desktop sizes. The 32 x 32 window icon is a palette image of at most
256 colours; the other sizes are full-colour with alpha. Uses only the standard library, so the icons can be
redrawn anywhere:  python3 scripts/make-icons.py
"""

import math
import pathlib
import struct
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
WINDOW_ICON_SIZE = 32
SUPERSAMPLING = 8

TEAL = (0, 128, 128)
DARK_TEAL = (0, 64, 64)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
ORANGE = (255, 160, 64)


def rounded_rect(x0, y0, x1, y1, r):
    """Signed-distance-free inside test of a rounded rectangle, in the 32-unit design grid."""
    def inside(x, y):
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and x0 <= x <= x1 and y0 <= y <= y1
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


# The picture, back to front: (shape, colour). Coordinates are in a 32 x 32 grid.
def layers(size):
    sheet_lines = [(8.5, 18.5), (8.5, 16.0), (8.5, 19.0)] if size >= 24 else [(8.5, 18.5), (8.5, 16.0)]
    line_step = 3.6 if size >= 24 else 5.0
    shapes = [
        (rounded_rect(1, 1, 31, 31, 6), DARK_TEAL),
        (rounded_rect(2.2, 2.2, 29.8, 29.8, 5), TEAL),
        (rounded_rect(6, 4, 21, 25, 1.5), WHITE),
    ]
    for i, (left, right) in enumerate(sheet_lines):
        top = 8 + i * line_step
        shapes.append((rounded_rect(left, top, right, top + 1.8, 0.6), GREY))
    shapes += [
        (rounded_rect(12.5, 18.5, 29.5, 28.5, 5), DARK_TEAL),
        (rounded_rect(13.7, 19.7, 28.3, 27.3, 3.8), ORANGE),
        (circle(23.9, 23.5, 3.0), WHITE),
    ]
    return shapes


def render(size):
    """Returns rows of (r, g, b, a) tuples, anti-aliased by supersampling."""
    shapes = layers(size)
    scale = 32.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPERSAMPLING):
                for sx in range(SUPERSAMPLING):
                    x = (px + (sx + 0.5) / SUPERSAMPLING) * scale
                    y = (py + (sy + 0.5) / SUPERSAMPLING) * scale
                    colour = None
                    for inside, fill in shapes:
                        if inside(x, y):
                            colour = fill
                    if colour is not None:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = SUPERSAMPLING * SUPERSAMPLING
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]),
                            round(255 * acc[3] / n)))
        rows.append(row)
    return rows


def quantised(rows, step):
    def q(v):
        return min(255, int(round(v / step) * step))
    return [[(0, 0, 0, 0) if a == 0 else (q(r), q(g), q(b), q(a)) for (r, g, b, a) in row] for row in rows]


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_palette_png(path, rows):
    """An 8-bit palette PNG; transparency through the tRNS chunk. At most 256 colours."""
    step = 1
    while True:
        image = quantised(rows, step)
        colours = sorted({pixel for row in image for pixel in row}, key=lambda p: (p[3] != 0, p))
        if len(colours) <= 256:
            break
        step += 1
    index = {colour: i for i, colour in enumerate(colours)}
    raw = b"".join(b"\x00" + bytes(index[p] for p in row) for row in image)
    size = len(rows)
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 3, 0, 0, 0))
    data += png_chunk(b"PLTE", b"".join(bytes(c[:3]) for c in colours))
    data += png_chunk(b"tRNS", bytes(c[3] for c in colours))
    data += png_chunk(b"IDAT", zlib.compress(raw, 9))
    data += png_chunk(b"IEND", b"")
    path.write_bytes(data)
    return len(colours)


def write_rgba_png(path, rows):
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in rows)
    size = len(rows)
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    data += png_chunk(b"IDAT", zlib.compress(raw, 9))
    data += png_chunk(b"IEND", b"")
    path.write_bytes(data)


def main():
    out = pathlib.Path(__file__).resolve().parent.parent / "app" / "icons"
    out.mkdir(parents=True, exist_ok=True)
    for size in SIZES:
        rows = render(size)
        path = out / f"velmora-{size}.png"
        if size == WINDOW_ICON_SIZE:
            print(f"{path.name}: {write_palette_png(path, rows)} colours")
        else:
            write_rgba_png(path, rows)
            print(f"{path.name}: full colour")


if __name__ == "__main__":
    main()
