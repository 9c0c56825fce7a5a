#!/usr/bin/env python3
"""Draws the program's two icons: a sheet of paper with a folded corner and an arrow that turns
one name into another. Run it to rebuild program48.ico (48 x 48) and window32.ico (32 x 32)."""
import os
import struct


def draw(size):
    s = size / 48.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(max(0, int(y0 * s)), min(size, int(y1 * s))):
            for x in range(max(0, int(x0 * s)), min(size, int(x1 * s))):
                px[y][x] = colour

    blue, white, fold, orange, ink = (33, 99, 196, 255), (250, 250, 250, 255), (200, 214, 235, 255), (240, 140, 30, 255), (90, 90, 90, 255)
    fill(6, 3, 34, 45, blue)         # border of the sheet
    fill(8, 5, 32, 43, white)        # the sheet
    for i in range(10):              # folded corner
        fill(22 + i, 5, 32, 5 + i + 1, (0, 0, 0, 0) if i < 9 else fold)
        fill(22 + i, 5 + i, 23 + i, 6 + i, blue)
    fill(22, 5, 23, 15, blue)
    fill(22, 14, 32, 15, blue)
    for row in (19, 24, 29, 34):     # lines of names
        fill(12, row, 28, row + 2, ink)
    fill(20, 36, 38, 42, orange)     # the arrow's shaft
    for i in range(8):               # and its head
        fill(38 + i, 31 + i, 39 + i, 47 - i, orange)
    return px


def ico(size):
    px = draw(size)
    rows = b"".join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = header + rows + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), 22) + image


here = os.path.dirname(os.path.abspath(__file__))
for name, size in (("program48.ico", 48), ("window32.ico", 32)):
    with open(os.path.join(here, name), "wb") as f:
        f.write(ico(size))
