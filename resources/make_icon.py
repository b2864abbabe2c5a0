#!/usr/bin/env python3
"""Draws the program's icon and writes it as app.ico: one 32 x 32 image, 24 bits per pixel.

A sheet of paper with a folded corner going into a shredder, strips coming out below.
Run from anywhere: python3 resources/make_icon.py
"""
import os
import struct

SIZE = 32
CLEAR = None
PAPER = (252, 252, 250)
PAPER_EDGE = (120, 134, 150)
FOLD = (214, 222, 232)
LINES = (150, 172, 196)
BODY = (46, 94, 150)
BODY_LIGHT = (86, 140, 200)
SLOT = (20, 34, 52)
STRIP = (232, 238, 246)
STRIP_EDGE = (120, 134, 150)


def draw():
    """Returns rows top to bottom of (r, g, b) or None for transparent."""
    img = [[CLEAR] * SIZE for _ in range(SIZE)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                img[y][x] = colour

    # The sheet, entering the slot from above.
    rect(8, 1, 23, 15, PAPER_EDGE)
    rect(9, 2, 22, 15, PAPER)
    for i in range(5):  # folded top-right corner
        for j in range(5 - i):
            img[1 + i][23 - j] = CLEAR if j < 4 - i else PAPER_EDGE
        for j in range(i):
            img[1 + i][19 + j] = FOLD
    for y in (5, 8, 11):  # lines of text
        rect(11, y, 20 if y != 5 else 17, y, LINES)

    # The shredder's body with its slot.
    rect(3, 15, 28, 22, BODY)
    rect(3, 15, 28, 16, BODY_LIGHT)
    rect(6, 17, 25, 18, SLOT)
    rect(22, 20, 25, 20, BODY_LIGHT)  # a small light on the front

    # Strips falling out below.
    for x in range(8, 24, 3):
        length = 6 + (x // 3) % 3
        rect(x, 23, x + 1, 23 + length, STRIP_EDGE)
        rect(x, 23, x, 22 + length, STRIP)
    return img


def ico_bytes(img):
    xor = bytearray()
    for row in reversed(img):  # bitmaps are stored bottom-up
        for pixel in row:
            r, g, b = pixel if pixel else (0, 0, 0)
            xor += bytes((b, g, r))
    mask = bytearray()
    for row in reversed(img):
        bits = 0
        for x, pixel in enumerate(row):
            if pixel is None:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)  # 32 pixels = 4 bytes, already DWORD-aligned
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "app.ico")
    with open(out, "wb") as f:
        f.write(ico_bytes(draw()))
    print(out)
