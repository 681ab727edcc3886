#!/usr/bin/env python3
"""Draws the styled controls' skins and writes them as resources: BITMAP
skins as 24-bit BMP files, alpha skins as "img" data (zlib at the highest
level, header 0x78 0xDA), and one resource script naming them all.

usage: gen_skins.py OUTPUT_DIR

Every skin is drawn here from code; a unit that needs a new skin adds a
drawing function and a row to SKINS.
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import skins_instruments  # noqa: E402
import skins_edit  # noqa: E402
import skins_lists  # noqa: E402

# ---- Pictures: rows of (red, green, blue, alpha), top row first


def blank(width, height, colour=(0, 0, 0, 0)):
    return [[colour for _ in range(width)] for _ in range(height)]


def mix(a, b, t):
    """Colour a blended towards b by t (0..1), channel by channel."""
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def fill(pic, left, top, right, bottom, colour):
    for y in range(max(top, 0), min(bottom, len(pic))):
        for x in range(max(left, 0), min(right, len(pic[0]))):
            pic[y][x] = colour


def frame(pic, left, top, right, bottom, colour):
    for x in range(left, right):
        pic[top][x] = colour
        pic[bottom - 1][x] = colour
    for y in range(top, bottom):
        pic[y][left] = colour
        pic[y][right - 1] = colour


def stack(cells):
    """Cells of one width stacked downwards (the skins' state order)."""
    return [row for cell in cells for row in cell]


# ---- The skins

# Scroll-bar button faces: normal, hot, pressed, disabled.
ARROW_STATES = [
    ((255, 255, 255), (196, 213, 249), (87, 124, 200)),
    ((255, 255, 255), (215, 228, 255), (110, 150, 230)),
    ((180, 200, 240), (130, 160, 225), (60, 95, 170)),
    ((244, 244, 240), (230, 230, 224), (200, 200, 190)),
]


def scroll_arrows():
    cells = []
    for light, dark, border in ARROW_STATES:
        cell = blank(17, 17, (255, 255, 255, 255))
        for y in range(17):
            colour = mix(light, dark, y / 16) + (255,)
            fill(cell, 0, y, 17, y + 1, colour)
        frame(cell, 0, 0, 17, 17, border + (255,))
        # Rounded corners show the shaft's colour.
        for x, y in ((0, 0), (16, 0), (0, 16), (16, 16)):
            cell[y][x] = (238, 237, 229, 255)
        cells.append(cell)
    return stack(cells)


def scroll_pattern():
    """The classic shaft: a checkerboard of white and silver, recoloured at run time."""
    pic = blank(8, 8)
    for y in range(8):
        for x in range(8):
            pic[y][x] = (255, 255, 255, 255) if (x + y) % 2 == 0 else (192, 192, 192, 255)
    return pic


def tab_pane_edge():
    """A tab pane: white inside a grey border with rounded, softly shadowed corners."""
    size, radius = 48, 4
    pic = blank(size, size)
    border, face = (145, 155, 156), (252, 252, 254)
    for y in range(size):
        for x in range(size):
            # Distance from the rounded outline, for anti-aliased corners.
            cx = min(max(x, radius), size - 1 - radius)
            cy = min(max(y, radius), size - 1 - radius)
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            coverage = max(0.0, min(1.0, radius + 0.5 - d))
            if coverage <= 0:
                continue
            inner = d <= radius - 1 and 0 < x < size - 1 and 0 < y < size - 1
            colour = face if inner else border
            if inner and y > size - 4:
                colour = mix(face, (226, 226, 220), (y - (size - 4)) / 3)
            pic[y][x] = colour + (int(round(255 * coverage)),)
    return pic


# Tab faces: top colour, bottom colour, accent line along the top (None: none).
TAB_STATES = [
    ((255, 255, 255), (236, 235, 230), None),           # normal
    ((255, 255, 255), (244, 243, 238), (255, 200, 60)),  # hot
    ((252, 252, 254), (252, 252, 254), (255, 200, 60)),  # selected
    ((245, 244, 242), (245, 244, 242), None),            # disabled
    ((255, 255, 255), (236, 235, 230), (49, 106, 197)),  # focused
]


def tab_item(left_edge, right_edge):
    """Five 18 x 18 top-tab cells (normal, hot, selected, disabled, focused):
    rounded top corners, open at the bottom where the tab joins the pane; a
    tab at an end of the strip has a darker outer side."""
    border, outer = (145, 155, 156), (120, 128, 130)
    cells = []
    for top, bottom, accent in TAB_STATES:
        cell = blank(18, 18)
        for y in range(18):
            fill(cell, 1, y, 17, y + 1, mix(top, bottom, y / 17) + (255,))
        for y in range(2, 18):
            cell[y][0] = (outer if left_edge else border) + (255,)
            cell[y][17] = (outer if right_edge else border) + (255,)
        fill(cell, 2, 0, 16, 1, border + (255,))
        if accent:
            fill(cell, 2, 0, 16, 1, mix(accent, (0, 0, 0), 0.15) + (255,))
            fill(cell, 1, 1, 17, 3, accent + (255,))
        cell[1][1] = border + (255,)
        cell[1][16] = border + (255,)
        cell[0][1] = cell[0][16] = (0, 0, 0, 0)
        cells.append(cell)
    return stack(cells)


# Name, resource kind, drawing.
SKINS = [
    ("SCROLLARROWS", "BITMAP", scroll_arrows),
    ("STDSCROLLPATTERN", "IMG", scroll_pattern),
    ("TABPANEEDGE", "IMG", tab_pane_edge),
    ("TABITEMTOP", "IMG", lambda: tab_item(False, False)),
    ("TABITEMTOPLEFT", "IMG", lambda: tab_item(True, False)),
    ("TABITEMTOPRIGHT", "IMG", lambda: tab_item(False, True)),
    ("TABITEMTOPBOTH", "IMG", lambda: tab_item(True, True)),
]
SKINS += skins_instruments.SKINS
SKINS += skins_edit.SKINS
SKINS += skins_lists.SKINS

# ---- File formats


def bmp_file(pic):
    """A 24-bit BMP file, rows bottom to top, each padded to 4 bytes."""
    height, width = len(pic), len(pic[0])
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(pic):
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + pixels


def img_data(pic):
    """Alpha-image data: N, a BITMAPINFOHEADER, straight-alpha pixels bottom to top; zlib level 9."""
    height, width = len(pic), len(pic[0])
    pixels = bytearray()
    for row in reversed(pic):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(pixels), 0, 0, 0, 0)
    data = struct.pack("<i", len(header) + len(pixels)) + header + pixels
    return zlib.compress(data, 9)


def write_if_changed(path, data):
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return
    with open(path, "wb") as f:
        f.write(data)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = os.path.abspath(sys.argv[1])
    os.makedirs(out, exist_ok=True)
    lines = ["// Generated by tools/gen_skins.py: the styled controls' skins.\n"]
    for name, kind, draw in SKINS:
        pic = draw()
        if kind == "BITMAP":
            path = os.path.join(out, name + ".bmp")
            write_if_changed(path, bmp_file(pic))
            lines.append(f'{name} BITMAP "{path}"\n')
        else:
            path = os.path.join(out, name + ".img")
            write_if_changed(path, img_data(pic))
            lines.append(f'{name} RCDATA "{path}"\n')
    # The script is always rewritten: it stands for all the pictures.
    with open(os.path.join(out, "Skins.rc"), "w") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
