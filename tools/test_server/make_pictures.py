#!/usr/bin/python3
"""Draws the pictures the served pages show into a folder (standard library only).

    /usr/bin/python3 tools/test_server/make_pictures.py <folder>

sponsor.png: a 120 x 60 banner with a blue-to-green gradient, a yellow disc and
transparent rounded corners (RGBA), so a page view shows colour, shape and alpha.
A picture that already exists in the folder is left as it is.
"""

import os
import struct
import sys
import zlib

WIDTH, HEIGHT = 120, 60
CORNER = 10


def banner_pixel(x, y):
    """(r, g, b, a) of the sponsor banner at (x, y)."""
    # Rounded corners: outside the corner circles the banner is transparent.
    cx = CORNER if x < CORNER else (WIDTH - 1 - CORNER if x >= WIDTH - CORNER else x)
    cy = CORNER if y < CORNER else (HEIGHT - 1 - CORNER if y >= HEIGHT - CORNER else y)
    if (x - cx) ** 2 + (y - cy) ** 2 > CORNER ** 2:
        return (0, 0, 0, 0)
    # The disc on the left.
    if (x - 30) ** 2 + (y - 30) ** 2 <= 18 ** 2:
        return (250, 210, 20, 255)
    t = x / (WIDTH - 1)
    return (20, int(80 + 120 * t), int(220 - 120 * t), 255)


def png(width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # no filter
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


PICTURES = {"sponsor.png": lambda: png(WIDTH, HEIGHT, banner_pixel)}


def main():
    if len(sys.argv) != 2 or not os.path.isdir(sys.argv[1]):
        print("usage: make_pictures.py <folder>", file=sys.stderr)
        return 2
    for name, make in PICTURES.items():
        target = os.path.join(sys.argv[1], name)
        if os.path.exists(target):
            continue
        with open(target + ".tmp", "wb") as f:
            f.write(make())
        os.replace(target + ".tmp", target)
    return 0


if __name__ == "__main__":
    sys.exit(main())
