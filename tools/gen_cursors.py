#!/usr/bin/env python3
"""Draws the look-and-feel library's cursors (with the editors' mouse wheel) and the in-place editors' hand into .cur files (32 x 32,
monochrome with transparency): each shape is black with a one-pixel white
outline, the rest transparent. Also its small bitmaps (24-bit BMP files): the
shaded sub-menu arrow on black and the 11 x 11 expand buttons.
Usage: gen_cursors.py OUTPUT_FOLDER"""
import math
import os
import struct
import sys

SIZE = 32


class Canvas:
    def __init__(self):
        self.ink = [[False] * SIZE for _ in range(SIZE)]

    def dot(self, x, y):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.ink[y][x] = True

    def line(self, x0, y0, x1, y1, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            for dx in range(width):
                for dy in range(width):
                    self.dot(x + dx, y + dy)

    def rect(self, x0, y0, x1, y1):
        self.line(x0, y0, x1, y0)
        self.line(x0, y1, x1, y1)
        self.line(x0, y0, x0, y1)
        self.line(x1, y0, x1, y1)

    def fill(self, x0, y0, x1, y1):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y)

    def triangle(self, points):
        (ax, ay), (bx, by), (cx, cy) = points

        def side(px, py, qx, qy, rx, ry):
            return (px - rx) * (qy - ry) - (qx - rx) * (py - ry)

        for y in range(SIZE):
            for x in range(SIZE):
                d1 = side(x, y, ax, ay, bx, by)
                d2 = side(x, y, bx, by, cx, cy)
                d3 = side(x, y, cx, cy, ax, ay)
                neg = d1 < 0 or d2 < 0 or d3 < 0
                pos = d1 > 0 or d2 > 0 or d3 > 0
                if not (neg and pos):
                    self.dot(x, y)

    def circle(self, cx, cy, r, width=2):
        for y in range(SIZE):
            for x in range(SIZE):
                d = math.hypot(x - cx, y - cy)
                if r - width < d <= r:
                    self.dot(x, y)

    def arrow_head(self, x, y, direction, size=4):
        dx, dy = direction
        px, py = -dy, dx
        self.triangle([(x + dx * size, y + dy * size), (x + px * size, y + py * size), (x - px * size, y - py * size)])


def pointer(c):
    """The standard pointer at the top left, hot spot (0, 0)."""
    c.triangle([(0, 0), (0, 15), (10, 10)])
    c.line(4, 11, 7, 17, 2)


def plus(c, x, y):
    c.fill(x - 3, y, x + 3, y + 1)
    c.fill(x, y - 3, x + 1, y + 3)


def pages(c, count):
    for i in range(count):
        c.rect(12 + 3 * i, 14 + 3 * i, 22 + 3 * i, 22 + 3 * i)


def shapes():
    def drag(c):
        pointer(c)
        pages(c, 1)

    def drag_copy(c):
        drag(c)
        plus(c, 26, 26)

    def multi_drag(c):
        pointer(c)
        pages(c, 3)

    def multi_drag_copy(c):
        multi_drag(c)
        plus(c, 28, 6)

    def full_scroll(c):
        c.circle(16, 16, 3)
        for d in ((0, -1), (1, 0), (0, 1), (-1, 0)):
            c.arrow_head(16 + d[0] * 8, 16 + d[1] * 8, d)

    def hor_scroll(c):
        c.circle(16, 16, 3)
        c.arrow_head(24, 16, (1, 0))
        c.arrow_head(8, 16, (-1, 0))

    def ver_scroll(c):
        c.circle(16, 16, 3)
        c.arrow_head(16, 8, (0, -1))
        c.arrow_head(16, 24, (0, 1))

    def one_way(d):
        def draw(c):
            c.circle(16, 16, 3)
            c.arrow_head(16 + d[0] * 8, 16 + d[1] * 8, d, 5)
        return draw

    def remove(c):
        c.line(6, 6, 24, 24, 3)
        c.line(24, 6, 6, 24, 3)

    def vert_size(c):
        c.fill(6, 15, 26, 16)
        c.line(16, 6, 16, 25, 2)
        c.arrow_head(16, 6, (0, -1))
        c.arrow_head(16, 25, (0, 1))

    def horz_size(c):
        c.fill(15, 6, 16, 26)
        c.line(6, 16, 25, 16, 2)
        c.arrow_head(6, 16, (-1, 0))
        c.arrow_head(25, 16, (1, 0))

    def no_drop(c):
        c.circle(16, 16, 11, 3)
        c.line(8, 8, 23, 23, 3)

    def color_picker(c):
        c.line(1, 30, 18, 13, 2)
        c.fill(18, 6, 25, 13)
        c.line(20, 4, 27, 11, 3)

    def mouse_wheel(c):
        # A wheel between two arrows, up and down.
        c.rect(13, 10, 19, 21)
        c.line(16, 12, 16, 19)
        c.arrow_head(16, 3, (0, -1), 5)
        c.arrow_head(16, 28, (0, 1), 5)

    return [
        ("DragCopy.cur", drag_copy, (0, 0)),
        ("FullScroll.cur", full_scroll, (16, 16)),
        ("HorScroll.cur", hor_scroll, (16, 16)),
        ("VerScroll.cur", ver_scroll, (16, 16)),
        ("UpScroll.cur", one_way((0, -1)), (16, 16)),
        ("RightScroll.cur", one_way((1, 0)), (16, 16)),
        ("DownScroll.cur", one_way((0, 1)), (16, 16)),
        ("LeftScroll.cur", one_way((-1, 0)), (16, 16)),
        ("Remove.cur", remove, (15, 15)),
        ("VertSize.cur", vert_size, (16, 16)),
        ("HorzSize.cur", horz_size, (16, 16)),
        ("MultiDrag.cur", multi_drag, (0, 0)),
        ("NoDrop.cur", no_drop, (16, 16)),
        ("Drag.cur", drag, (0, 0)),
        ("ColorPicker.cur", color_picker, (1, 30)),
        ("MultiDragCopy.cur", multi_drag_copy, (0, 0)),
        ("MouseWheel.cur", mouse_wheel, (16, 16)),
    ]


TREELIST_CURSORS = ("Remove.cur", "FullScroll.cur", "HorScroll.cur", "VerScroll.cur", "UpScroll.cur",
                    "RightScroll.cur", "DownScroll.cur", "LeftScroll.cur", "DragCopy.cur", "MultiDragCopy.cur")


def inspector_shapes():
    """The inspector's row-drag cursors: a pointer with a row and a mark of where it goes."""
    def row(c):
        pointer(c)
        c.rect(12, 18, 28, 23)

    def insert(c):
        row(c)
        c.fill(10, 15, 30, 15)
        c.arrow_head(10, 15, (1, 0), 3)

    def add_child(c):
        row(c)
        c.line(16, 24, 16, 28)
        c.line(16, 28, 22, 28)
        c.arrow_head(24, 28, (1, 0), 3)

    def add(c):
        row(c)
        c.fill(12, 27, 28, 28)

    def hide(c):
        row(c)
        c.line(14, 4, 26, 16, 2)
        c.line(26, 4, 14, 16, 2)

    def no_drag(c):
        c.circle(16, 16, 11, 3)
        c.line(8, 8, 23, 23, 3)

    return [("Insert", insert, (0, 0)), ("AddChild", add_child, (0, 0)), ("Add", add, (0, 0)),
            ("Hide", hide, (0, 0)), ("NoDrag", no_drag, (16, 16))]


def hand_point(c):
    """A hand with its index finger raised; the fingertip is the hot spot."""
    c.fill(6, 1, 9, 14)
    c.fill(10, 8, 12, 14)
    c.fill(13, 9, 15, 14)
    c.fill(16, 10, 18, 14)
    c.fill(6, 14, 18, 22)
    c.fill(8, 22, 16, 25)
    c.line(2, 13, 6, 18, 2)


def cursor_resource(canvas, hotspot):
    """A cursor image as a cursor resource holds it: the hot spot, then the image.
    The in-place editors keep their hand as raw data: the linker cannot merge
    the cursor directories of two resource scripts in one program."""
    return struct.pack("<HH", hotspot[0], hotspot[1]) + cursor_image(canvas)


def cursor_file(canvas, hotspot):
    image = cursor_image(canvas)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return directory + entry + image


def cursor_image(canvas):
    ink = canvas.ink
    outline = [[False] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if not ink[y][x] and any(
                0 <= x + dx < SIZE and 0 <= y + dy < SIZE and ink[y + dy][x + dx]
                for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                outline[y][x] = True

    def rows(bit):
        data = b""
        for y in reversed(range(SIZE)):  # bottom-up
            value = 0
            for x in range(SIZE):
                if bit(x, y):
                    value |= 1 << (SIZE - 1 - x)
            data += struct.pack(">I", value)
        return data

    xor = rows(lambda x, y: outline[y][x])  # white where the outline is
    mask = rows(lambda x, y: not ink[y][x] and not outline[y][x])  # transparent elsewhere
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    return header + palette + xor + mask


def bmp_file(pixels):
    """A 24-bit bottom-up BMP of rows of (r, g, b) tuples, top row first."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        body += line + bytes(stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(body), 0, 0, 14 + len(header)) + header + body


def submenu_expand():
    """A right-pointing arrow on black, shaded from dark red at its base to bright red at its tip."""
    size = 16
    pixels = [[(0, 0, 0)] * size for _ in range(size)]
    for x in range(5, 10):
        half = 9 - x
        red = 0x90 + (x - 5) * 0x1B
        for y in range(8 - half, 8 + half + 1):
            pixels[y][x] = (red, 0, 0)
    return pixels


def expand_button(plus):
    """11 x 11: a grey frame around white with a black minus (and the plus's upright)."""
    size = 11
    pixels = [[(255, 255, 255)] * size for _ in range(size)]
    for i in range(size):
        for x, y in ((i, 0), (i, size - 1), (0, i), (size - 1, i)):
            pixels[y][x] = (128, 128, 128)
    for i in range(3, 8):
        pixels[5][i] = (0, 0, 0)
        if plus:
            pixels[i][5] = (0, 0, 0)
    return pixels


def auto_scroll_anchor(horz, vert):
    """28 x 28: a light disk with a centre dot and a black arrowhead towards each side that scrolls."""
    size = 28
    c = (size - 1) / 2
    pixels = [[(255, 255, 255)] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if (x - c) ** 2 + (y - c) ** 2 <= (c - 0.5) ** 2:
                pixels[y][x] = (236, 236, 236)
    for y in range(12, 16):
        for x in range(12, 16):
            pixels[y][x] = (0, 0, 0)
    # Arrowheads 4 rows deep, their tips 3 pixels in from the edge.
    for depth in range(4):
        for offset in range(-depth, depth + 1):
            if vert:
                pixels[3 + depth][13 + offset] = (0, 0, 0)
                pixels[3 + depth][14 + offset] = (0, 0, 0)
                pixels[size - 4 - depth][13 + offset] = (0, 0, 0)
                pixels[size - 4 - depth][14 + offset] = (0, 0, 0)
            if horz:
                pixels[13 + offset][3 + depth] = (0, 0, 0)
                pixels[14 + offset][3 + depth] = (0, 0, 0)
                pixels[13 + offset][size - 4 - depth] = (0, 0, 0)
                pixels[14 + offset][size - 4 - depth] = (0, 0, 0)
    return pixels


def bitmaps():
    return [
        ("FullScrollAnchor.bmp", auto_scroll_anchor(True, True)),
        ("HorScrollAnchor.bmp", auto_scroll_anchor(True, False)),
        ("VerScrollAnchor.bmp", auto_scroll_anchor(False, True)),
        ("SubMenuExpand.bmp", submenu_expand()),
        ("ExpandButtonMinus.bmp", expand_button(False)),
        ("ExpandButtonPlus.bmp", expand_button(True)),
    ]


def write_if_changed(path, data):
    # Unchanged files keep their time stamp, so the resources are not compiled again.
    if os.path.exists(path) and open(path, "rb").read() == data:
        return
    with open(path, "wb") as f:
        f.write(data)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, draw, hotspot in shapes():
        canvas = Canvas()
        draw(canvas)
        data = cursor_file(canvas, hotspot)
        write_if_changed(os.path.join(out, name), data)
    for name, pixels in bitmaps():
        write_if_changed(os.path.join(out, name), bmp_file(pixels))
    hand = Canvas()
    hand_point(hand)
    write_if_changed(os.path.join(out, "HandPoint.bin"), cursor_resource(hand, (7, 1)))
    # The tree list's cursors, kept as raw data like the hand.
    for name, draw, hotspot in shapes():
        if name in TREELIST_CURSORS:
            canvas = Canvas()
            draw(canvas)
            write_if_changed(os.path.join(out, "TreeList" + name[:-4] + ".bin"), cursor_resource(canvas, hotspot))
    # The inspector's, the same way.
    for name, draw, hotspot in inspector_shapes():
        canvas = Canvas()
        draw(canvas)
        write_if_changed(os.path.join(out, "Inspector" + name + ".bin"), cursor_resource(canvas, hotspot))


if __name__ == "__main__":
    main()
