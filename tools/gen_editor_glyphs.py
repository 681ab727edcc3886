#!/usr/bin/env python3
"""Draws the in-place editors' glyphs as 16-colour BMP files: the picture
toolbar's six command glyphs (16 x 16) and the blob cells' eight kind glyphs
(18 x 16), olive being the mask colour of both; editors_classic/EditorsClassic.rc
names them.
Usage: gen_editor_glyphs.py OUTPUT_FOLDER"""
import os
import struct
import sys

# The standard 16 colours, in palette order (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# Letters of the drawings: '.' is olive, the mask colour.
INK = {'k': 0, 'm': 1, 'e': 2, '.': 3, 'n': 4, 'p': 5, 't': 6, 's': 7, 'g': 8, 'r': 9, 'l': 10, 'y': 11,
       'b': 12, 'f': 13, 'a': 14, 'w': 15}

TOOLBAR = {
    "DXTOOL_CUT": [
        "................",
        "....k.....k.....",
        "....k.....k.....",
        "....k.....k.....",
        "....kk...kk.....",
        ".....k...k......",
        ".....kk.kk......",
        "......kkk.......",
        ".......k........",
        "......nkn.......",
        "....nnn.nnn.....",
        "...n..n.n..n....",
        "...n..n.n..n....",
        "...n..n.n..n....",
        "....nn...nn.....",
        "................",
    ],
    "DXTOOL_COPY": [
        "................",
        "kkkkkk..........",
        "kwwwwkk.........",
        "kwkkwkwk........",
        "kwwwwkkkkk......",
        "kwkkkwwwkkk.....",
        "kwwwkwkkwwkk....",
        "kwkkkwwwwkkkk...",
        "kwwwkwkkkkkwk...",
        "kkkkkwwwwwwwk...",
        ".....wkkkkkwk...",
        ".....kwwwwwwk...",
        ".....kkkkkkkk...",
        "................",
        "................",
        "................",
    ],
    "DXTOOL_PASTE": [
        "................",
        ".....kkkk.......",
        "..kkkkyykkkk....",
        ".kgggkkkkgggk...",
        ".kgkkkkkkkkgk...",
        ".kgkwwwwwwkgk...",
        ".kgkwkkkkwkgk...",
        ".kgkwwwwwwkgk...",
        ".kgkwkkkkwkgk...",
        ".kgkwwwwwwkgk...",
        ".kgkwkkkwwkgk...",
        ".kgkwwwwwwkgk...",
        ".kgkkkkkkkkgk...",
        ".kgggggggggggk..",
        ".kkkkkkkkkkkkk..",
        "................",
    ],
    "DXTOOL_DELETE": [
        "................",
        "................",
        "..rr.......rr...",
        "..rrr.....rrr...",
        "...rrr...rrr....",
        "....rrr.rrr.....",
        ".....rrrrr......",
        "......rrr.......",
        ".....rrrrr......",
        "....rrr.rrr.....",
        "...rrr...rrr....",
        "..rrr.....rrr...",
        "..rr.......rr...",
        "................",
        "................",
        "................",
    ],
    "DXTOOL_LOAD": [
        "................",
        "................",
        "..........kkk...",
        ".........k...k.k",
        "..............kk",
        ".kkk.........kkk",
        "kyyykkkkkkk.....",
        "kywyywyywyk.....",
        "kwyywyywyyk.....",
        "kyywkkkkkkkkkk..",
        "kywkyyyyyyyyyk..",
        "kwkyyyyyyyyyk...",
        "kkyyyyyyyyyk....",
        "kkkkkkkkkkk.....",
        "................",
        "................",
    ],
    "DXTOOL_SAVE": [
        "................",
        ".kkkkkkkkkkkkk..",
        ".kttkwwwwwwkgk..",
        ".kttkwwwwwwkgk..",
        ".kttkwwwwwwktk..",
        ".kttkwwwwwwktk..",
        ".kttkkkkkkkktk..",
        ".kttttttttttttk.",
        ".kttkkkkkkkkttk.",
        ".kttkkkkkkkkttk.",
        ".kttkkkkkssktk..",
        ".kttkkkkkssktk..",
        ".kttkkkkkssktk..",
        "..kkkkkkkkkkkk..",
        "................",
        "................",
    ],
}

# The blob kinds: a full glyph for a value, a grey outline for an empty one.
def page(lines_ink, frame='k', paper='w'):
    rows = ["..................", "...." + frame * 10 + "...."]
    for i in range(12):
        ink = lines_ink[i] if i < len(lines_ink) else paper * 8
        rows.append("...." + frame + ink + frame + "....")
    rows.append("...." + frame * 10 + "....")
    rows.append("..................")
    return rows

MEMO_LINES = ["wwwwwwww", "wkkkkkkw", "wwwwwwww", "wkkkkkww", "wwwwwwww", "wkkkkkkw", "wwwwwwww",
              "wkkkkwww", "wwwwwwww", "wkkkkkkw", "wwwwwwww", "wwwwwwww"]
PICT_LINES = ["aaaaaaaa", "aaaaayya", "aaaaayya", "aaaaaaaa", "aaaeaaaa", "aaeeeaaa", "aeeeeeaa",
              "eeeeeeea", "eeeeeeee", "llllllll", "llllllll", "llllllll"]
BLOB_LINES = ["wwwwwwww", "wkwkkwkw", "wkwkkwkw", "wwwwwwww", "wkkwkwkw", "wkkwkwkw", "wwwwwwww",
              "wkwkwkkw", "wkwkwkkw", "wwwwwwww", "wkkwkkww", "wwwwwwww"]
OLE_LINES = ["wwwwwwww", "wbbbbbbw", "wbwwwwbw", "wbwrrwbw", "wbwrrwbw", "wbwwwwbw", "wbbbbbbw",
             "wwwwwwww", "wkkkkkkw", "wwwwwwww", "wkkkkwww", "wwwwwwww"]

def empty_page():
    return page(["ssssssss"] * 12, frame='g', paper='s')

BLOB = {
    "DXINPLACE_BLOB_NULL": empty_page(),
    "DXINPLACE_BLOB": page(BLOB_LINES),
    "DXINPLACE_MEMO_NULL": empty_page(),
    "DXINPLACE_MEMO": page(MEMO_LINES),
    "DXINPLACE_PICT_NULL": empty_page(),
    "DXINPLACE_PICT": page(PICT_LINES),
    "DXINPLACE_OLE_NULL": empty_page(),
    "DXINPLACE_OLE": page(OLE_LINES),
}


def bmp(rows):
    """A 4-bit bottom-up BMP with the standard palette."""
    width, height = len(rows[0]), len(rows)
    stride = ((width * 4 + 31) // 32) * 4
    pixels = b""
    for row in reversed(rows):
        assert len(row) == width, row
        nibbles = [INK[c] for c in row]
        if len(nibbles) % 2:
            nibbles.append(0)
        line = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, len(nibbles), 2))
        pixels += line + b"\0" * (stride - len(line))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    return header + info + palette + pixels


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, rows in list(TOOLBAR.items()) + list(BLOB.items()):
        with open(os.path.join(out, name + ".bmp"), "wb") as f:
            f.write(bmp(rows))


if __name__ == "__main__":
    main()
