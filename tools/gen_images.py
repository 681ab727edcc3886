#!/usr/bin/env python3
"""Draws the shared image list's 273 pictures (16 x 16, one strip) as a 24-bit
bitmap file and writes the resource script that names it TIMAGELISTFORM.

Usage: gen_images.py OUTPUT_FOLDER

Every picture is a simple glyph on magenta, which the image list masks out:
the strip's lower-left pixel is magenta, and every glyph keeps its lower-left
pixel free. Pictures 160 to 177 show the version-control states that
sdk/Extension.Images.h names; the others are shapes in colours, each pair of
(shape, colour) used once, so that no two pictures are alike.
"""
import os
import struct
import sys

SIZE = 16
COUNT = 273
BACKGROUND = (255, 0, 255)

COLOURS = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (128, 128, 128), (192, 0, 0), (0, 160, 0), (200, 160, 0), (0, 0, 224), (160, 0, 200), (0, 160, 200),
    (224, 96, 0), (96, 64, 32), (32, 96, 160), (0, 96, 64), (160, 32, 96), (64, 64, 64),
]


def blank():
    return [[BACKGROUND] * SIZE for _ in range(SIZE)]


def put(g, x, y, c):
    # Row 15, column 0 stays background: it is the mask colour's pixel.
    if 0 <= x < SIZE and 0 <= y < SIZE and not (x == 0 and y == SIZE - 1):
        g[y][x] = c


def rect(g, x0, y0, x1, y1, c, fill=True):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if fill or x in (x0, x1) or y in (y0, y1):
                put(g, x, y, c)


def disc(g, cx, cy, r, c, ring=False):
    for y in range(SIZE):
        for x in range(SIZE):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if d <= r * r and (not ring or d >= (r - 1.6) ** 2):
                put(g, x, y, c)


def line(g, x0, y0, x1, y1, c, width=1):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        for dx in range(width):
            for dy in range(width):
                put(g, x + dx, y + dy, c)


def triangle(g, c, down=False):
    for row in range(12):
        y = 2 + row if not down else 13 - row
        half = row // 2
        for x in range(7 - half, 9 + half):
            put(g, x, y, c)


def diamond(g, c):
    for y in range(2, 14):
        half = 6 - abs(y - 7.5) + 0.5
        for x in range(SIZE):
            if abs(x - 7.5) <= half:
                put(g, x, y, c)


SHAPES = [
    lambda g, c: rect(g, 2, 2, 13, 13, c),
    lambda g, c: disc(g, 7.5, 7.5, 6, c),
    lambda g, c: diamond(g, c),
    lambda g, c: triangle(g, c),
    lambda g, c: triangle(g, c, down=True),
    lambda g, c: (line(g, 2, 2, 12, 12, c, 2), line(g, 12, 2, 2, 12, c, 2)),
    lambda g, c: (rect(g, 7, 2, 8, 13, c), rect(g, 2, 7, 13, 8, c)),
    lambda g, c: rect(g, 2, 2, 13, 13, c, fill=False),
    lambda g, c: disc(g, 7.5, 7.5, 6.5, c, ring=True),
    lambda g, c: rect(g, 2, 5, 13, 10, c),
    lambda g, c: rect(g, 5, 2, 10, 13, c),
    lambda g, c: [rect(g, x, y, x + 2, y + 2, c) for x in (2, 7, 12) for y in (2, 7, 12) if x + 2 < 16],
    lambda g, c: (rect(g, 2, 2, 13, 4, c), rect(g, 2, 2, 4, 13, c)),
    lambda g, c: (disc(g, 7.5, 7.5, 6, c), disc(g, 7.5, 7.5, 2.5, BACKGROUND)),
]


def check(g, c):
    line(g, 2, 8, 6, 12, c, 2)
    line(g, 6, 12, 13, 3, c, 2)


def padlock(g, body, dot=None):
    disc(g, 7.5, 5.5, 3.8, body, ring=True)
    rect(g, 3, 7, 12, 13, body)
    rect(g, 7, 9, 8, 11, BACKGROUND)
    if dot:
        disc(g, 12, 12, 2.5, dot)


def clock(g, c):
    disc(g, 7.5, 7.5, 6.5, c, ring=True)
    line(g, 7, 7, 7, 3, c)
    line(g, 7, 7, 10, 9, c)


def warning(g, c):
    triangle(g, c)
    rect(g, 7, 6, 8, 10, (255, 255, 255))
    rect(g, 7, 12, 8, 12, (255, 255, 255))


def pencil(g, c):
    line(g, 3, 12, 12, 3, c, 3)
    put(g, 2, 13, (0, 0, 0))


def refresh(g, c):
    disc(g, 7.5, 7.5, 6.5, c, ring=True)
    rect(g, 9, 1, 14, 6, BACKGROUND)
    rect(g, 10, 1, 13, 2, c)
    rect(g, 12, 1, 13, 5, c)


def pin(g, c):
    # A device pin: a lead from the package body on the left.
    rect(g, 1, 3, 6, 12, (96, 96, 96))
    rect(g, 7, 6, 14, 9, c)


def pad(g, c):
    # A pad: a square land with its drill hole.
    rect(g, 3, 3, 12, 12, c)
    disc(g, 7.5, 7.5, 1.5, BACKGROUND)


VCS = {
    19: lambda g: pin(g, (200, 160, 0)),
    41: lambda g: pad(g, (0, 150, 0)),
    160: lambda g: check(g, (0, 150, 0)),
    161: lambda g: pencil(g, (200, 0, 0)),
    162: lambda g: clock(g, (224, 128, 0)),
    163: lambda g: warning(g, (200, 0, 0)),
    167: lambda g: padlock(g, (200, 0, 0)),
    168: lambda g: padlock(g, (0, 150, 0)),
    169: lambda g: padlock(g, (0, 150, 0), dot=(200, 0, 0)),
    175: lambda g: (line(g, 3, 3, 11, 11, (200, 0, 0), 2), line(g, 11, 3, 3, 11, (200, 0, 0), 2)),
    176: lambda g: (rect(g, 7, 3, 8, 12, (0, 150, 0)), rect(g, 3, 7, 12, 8, (0, 150, 0))),
    177: lambda g: refresh(g, (0, 64, 200)),
}


def glyphs():
    combos = [(s, c) for c in range(len(COLOURS)) for s in range(len(SHAPES))]
    pictures = []
    for index in range(COUNT):
        g = blank()
        if index in VCS:
            VCS[index](g)
        else:
            shape, colour = combos[index]
            SHAPES[shape](g, COLOURS[colour])
        pictures.append(g)
    return pictures


def bitmap_file(pictures):
    width = SIZE * len(pictures)
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        row = bytearray()
        for g in pictures:
            for x in range(SIZE):
                r, gr, b = g[y][x]
                row += bytes((b, gr, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    pictures = glyphs()
    assert len({tuple(map(tuple, g)) for g in pictures}) == COUNT, "two pictures are alike"
    bmp = os.path.join(out, "MainImages.bmp")
    with open(bmp, "wb") as f:
        f.write(bitmap_file(pictures))
    with open(os.path.join(out, "MainImages.rc"), "w") as f:
        f.write("// Generated by tools/gen_images.py: the shared image list's pictures.\n")
        f.write('TIMAGELISTFORM BITMAP "%s"\n' % bmp.replace("\\", "/"))


if __name__ == "__main__":
    main()
