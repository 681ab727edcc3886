#!/usr/bin/env python3
"""Draws the grid indicator glyphs (8 x 9 pixels, black on white) into BMP
files for the look-and-feel library's resources.
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


def bmp(rows):
    stride = (WIDTH * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rows):
        line = b"".join(b"\x00\x00\x00" if c == "#" else b"\xff\xff\xff" for c in row)
        pixels += line + b"\x00" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    return file_header + header + pixels


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, rows in GLYPHS.items():
        assert len(rows) == HEIGHT and all(len(r) == WIDTH for r in rows), name
        with open(os.path.join(out, name), "wb") as f:
            f.write(bmp(rows))


if __name__ == "__main__":
    main()
