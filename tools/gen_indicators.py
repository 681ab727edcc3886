#!/usr/bin/env python3
"""Draws the grid indicator glyphs (8 x 9 pixels, black on white) into BMP
files for the look-and-feel library's resources, and the tree list's
indicator glyphs (5 x 9 pixels, 16 colours, white transparent).
Usage: gen_indicators.py OUTPUT_FOLDER"""
import os
import struct
import sys

WIDTH, HEIGHT = 8, 9

# One string per row, '#' black, '.' white.
GLYPHS = {
    "IndicatorArrow.bmp": [
        "........",
        "..#.....",
        "..##....",
        "..###...",
        "..####..",
        "..###...",
        "..##....",
        "..#.....",
        "........",
    ],
    "IndicatorEdit.bmp": [
        ".##.##..",
        "...#....",
        "...#....",
        "...#....",
        "...#....",
        "...#....",
        "...#....",
        "...#....",
        ".##.##..",
    ],
    "IndicatorInsert.bmp": [
        "........",
        "...#....",
        ".#.#.#..",
        "..###...",
        "#######.",
        "..###...",
        ".#.#.#..",
        "...#....",
        "........",
    ],
    "IndicatorMultiDot.bmp": [
        "........",
        "........",
        "........",
        "...##...",
        "..####..",
        "..####..",
        "...##...",
        "........",
        "........",
    ],
    "IndicatorMultiArrow.bmp": [
        "#.......",
        "##..#...",
        "###.....",
        "####..#.",
        "###.....",
        "##..#...",
        "#.......",
        "........",
        "........",
    ],
    "IndicatorFilter.bmp": [
        "........",
        "#######.",
        ".#####..",
        "..###...",
        "...#....",
        "...#....",
        "...#....",
        "...#....",
        "........",
    ],
}

# The tree list's indicators: 'X' drawn, '.' transparent (white).
TREELIST_GLYPHS = {
    "TreeListArrow.bmp": "X.... XX... XXX.. XXXX. XXXXX XXXX. XXX.. XX... X....",
    "TreeListEdit.bmp": "XX.XX ..X.. ..X.. ..X.. ..X.. ..X.. ..X.. ..X.. XX.XX",
    "TreeListInsert.bmp": "..... ..X.. X.X.X .XXX. ..X.. .XXX. X.X.X ..X.. .....",
    "TreeListMultiDot.bmp": "..... ..... ..X.. .XXX. .XXX. .XXX. ..X.. ..... .....",
    "TreeListMultiArrow.bmp": "X.... XX... ..X.. X..X. XX.XX X..X. ..X.. XX... X....",
}


def bmp16(rows):
    """A 4-bit BMP with the 16 standard colours: black (index 0) drawn on white (index 15)."""
    width, height = len(rows[0]), len(rows)
    palette = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
               (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
               (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    stride = ((width * 4 + 31) // 32) * 4
    pixels = b""
    for row in reversed(rows):
        nibbles = [0 if c == "X" else 15 for c in row]
        nibbles += [15] * (stride * 2 - len(nibbles))
        pixels += bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, len(nibbles), 2))
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + header + colours + pixels


def bmp(rows):
    stride = (WIDTH * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rows):
        line = b"".join(b"\x00\x00\x00" if c == "#" else b"\xff\xff\xff" for c in row)
        pixels += line + b"\x00" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    return file_header + header + pixels


def scroll_marker(vertical, horizontal):
    """The 29 x 29 marker of the middle-button scroll mode: a centre dot and an
    arrow head towards every direction the rows can move."""
    size, mid = 29, 14
    grid = [["."] * size for _ in range(size)]
    for y in range(mid - 1, mid + 2):
        for x in range(mid - 1, mid + 2):
            grid[y][x] = "X"
    for k in range(4):  # arrow heads 4 rows deep, 3 pixels from the edge
        span = range(mid - k, mid + k + 1)
        if vertical:
            for x in span:
                grid[3 + k][x] = "X"
                grid[size - 4 - k][x] = "X"
        if horizontal:
            for y in span:
                grid[y][3 + k] = "X"
                grid[y][size - 4 - k] = "X"
    return ["".join(row) for row in grid]


SCROLL_MARKERS = {
    "TreeListFullScroll.bmp": (True, True),
    "TreeListVerScroll.bmp": (True, False),
    "TreeListHorScroll.bmp": (False, True),
}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, rows in GLYPHS.items():
        assert len(rows) == HEIGHT and all(len(r) == WIDTH for r in rows), name
        with open(os.path.join(out, name), "wb") as f:
            f.write(bmp(rows))
    for name, pattern in TREELIST_GLYPHS.items():
        rows = pattern.split()
        assert len(rows) == 9 and all(len(r) == 5 for r in rows), name
        with open(os.path.join(out, name), "wb") as f:
            f.write(bmp16(rows))
    for name, (vertical, horizontal) in SCROLL_MARKERS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(bmp16(scroll_marker(vertical, horizontal)))


if __name__ == "__main__":
    main()
