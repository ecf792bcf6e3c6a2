#!/usr/bin/env python3
"""Packs the icon's PNG sizes (app/icons/velmora-<N>.png, drawn by scripts/make-icons.py) into the Windows
icon app/velmora.ico, one PNG-compressed entry per size, as Windows Vista and later and Wine read them.
Uses only the standard library:  python3 scripts/windows/make-ico.py
"""

import pathlib
import struct

SIZES = (16, 24, 32, 48, 64, 128, 256)


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise ValueError("not a PNG file")
    return struct.unpack(">II", data[16:24])


def main():
    app = pathlib.Path(__file__).resolve().parent.parent.parent / "app"
    images = []
    for size in SIZES:
        data = (app / "icons" / f"velmora-{size}.png").read_bytes()
        if png_size(data) != (size, size):
            raise ValueError(f"velmora-{size}.png is not {size} x {size}")
        images.append((size, data))

    # ICONDIR, then one ICONDIRENTRY per image (a width or height of 256 is written as 0), then the images.
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for size, data in images:
        side = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    (app / "velmora.ico").write_bytes(header + entries + b"".join(data for _, data in images))
    print(f"velmora.ico: {len(images)} sizes, {offset} bytes")


if __name__ == "__main__":
    main()
