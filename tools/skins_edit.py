"""Skins of the styled edit, buttons, check boxes, radio buttons and progress
bar, drawn for tools/gen_skins.py: the combo-button faces and the edit
glyphs, the push-button, check-box and radio-button cells, the bit-button
kind glyphs and the progress bar's frames and chunks.
"""
MAGENTA = (255, 0, 255, 255)
CLEAR = (0, 0, 0, 0)


def blank(width, height, colour=CLEAR):
    return [[colour for _ in range(width)] for _ in range(height)]


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def stack(cells):
    return [row for cell in cells for row in cell]


def side_by_side(*cells):
    return [sum((cell[y] for cell in cells), []) for y in range(len(cells[0]))]


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


def plot(pic, points, colour):
    for x, y in points:
        pic[y][x] = colour


# Faces by state: normal, hot, pressed, disabled (light top, dark bottom, border).
FACES = [
    ((255, 255, 255), (214, 208, 197), (0, 60, 116)),
    ((255, 240, 207), (229, 151, 0), (0, 60, 116)),
    ((209, 204, 193), (226, 226, 218), (0, 60, 116)),
    ((245, 244, 234), (245, 244, 234), (201, 199, 186)),
    ((255, 255, 255), (214, 208, 197), (49, 106, 197)),
]


def gradient_cell(width, height, light, dark, border):
    cell = blank(width, height)
    for y in range(height):
        fill(cell, 0, y, width, y + 1, mix(light, dark, y / max(height - 1, 1)) + (255,))
    frame(cell, 0, 0, width, height, border + (255,))
    for x, y in ((0, 0), (width - 1, 0), (0, height - 1), (width - 1, height - 1)):
        cell[y][x] = CLEAR
    return cell


def combo_button():
    """Four 15 x 16 faces stacked: normal, hot, pressed, disabled."""
    return stack([gradient_cell(15, 16, *FACES[i]) for i in range(4)])


def arrow(width, height, colour, tip_rows):
    """A downward arrow centred in a cell on magenta."""
    pic = blank(width, height, MAGENTA)
    top = (height - tip_rows) // 2
    for row in range(tip_rows):
        half = tip_rows - 1 - row
        cx = width // 2
        for x in range(cx - half - 1, cx + half):
            if 0 <= x < width:
                pic[top + row][x] = colour
    return pic


def glyph_pair(draw, width, height):
    """Enabled and disabled halves side by side."""
    return side_by_side(draw(width, height, (0, 0, 0, 255)), draw(width, height, (161, 161, 146, 255)))


def xp_combo():
    return glyph_pair(lambda w, h, c: arrow(w, h, c, 4), 10, 7)


def std_combo():
    return glyph_pair(lambda w, h, c: arrow(w, h, c, 4), 9, 5)


def ellipsis_cell(width, height, colour):
    pic = blank(width, height, MAGENTA)
    for cx in (1, 4, 7):
        fill(pic, cx, 1, cx + 2, 3, colour)
    return pic


def folder_cell(width, height, colour):
    pic = blank(width, height, MAGENTA)
    frame(pic, 0, 2, width, height, colour)
    fill(pic, 0, 0, 5, 2, colour)
    return pic


def file_cell(width, height, colour):
    pic = blank(width, height, MAGENTA)
    frame(pic, 2, 0, width - 2, height, colour)
    for y in (3, 5, 7):
        fill(pic, 4, y, width - 4, y + 1, colour)
    return pic


def push_button():
    """Five 20 x 23 cells: normal, hot, pressed, disabled, default."""
    cells = []
    for i, (light, dark, border) in enumerate(FACES):
        cell = gradient_cell(20, 23, light, dark, border)
        if i == 4:
            frame(cell, 1, 1, 19, 22, (137, 173, 228, 255))
        cells.append(cell)
    return stack(cells)


def mark_cells(kind):
    """13 x 13 cells by value (unchecked, checked[, mixed]) and state (normal, hot, pressed, disabled)."""
    values = 3 if kind == "check" else 2
    cells = []
    for value in range(values):
        for light, dark, border in FACES[:4]:
            cell = blank(13, 13)
            if kind == "check":
                fill(cell, 0, 0, 13, 13, border + (255,))
                for y in range(1, 12):
                    fill(cell, 1, y, 12, y + 1, mix(dark, light, y / 11) + (255,))
            else:
                for y in range(13):
                    for x in range(13):
                        d = ((x - 6) ** 2 + (y - 6) ** 2) ** 0.5
                        if d <= 6.2:
                            cell[y][x] = (border if d > 5.2 else mix(dark, light, y / 12)) + (255,)
            ink = (33, 161, 33, 255) if light != (245, 244, 234) else (201, 199, 186, 255)
            if kind == "check" and value == 1:
                plot(cell, [(3, 6), (4, 7), (5, 8), (6, 7), (7, 6), (8, 5), (9, 4)], ink)
                plot(cell, [(3, 7), (4, 8), (5, 9), (6, 8), (7, 7), (8, 6), (9, 5)], ink)
            elif kind == "check" and value == 2:
                fill(cell, 3, 3, 10, 10, ink)
            elif kind == "radio" and value == 1:
                fill(cell, 5, 4, 8, 9, ink)
                fill(cell, 4, 5, 9, 8, ink)
            cells.append(cell)
    return stack(cells)


# The bit-button kinds' glyphs: a sign in a colour, up and disabled cells of 18 x 18.
KIND_SIGNS = {
    "BBOK": ((0, 128, 0), [(4, 9), (5, 10), (6, 11), (7, 12), (8, 11), (9, 10), (10, 9), (11, 8), (12, 7), (13, 6)]),
    "BBCANCEL": ((192, 0, 0), [(4 + i, 4 + i) for i in range(10)] + [(13 - i, 4 + i) for i in range(10)]),
    "BBHELP": ((0, 0, 160), [(7, 4), (8, 3), (9, 3), (10, 4), (10, 5), (9, 6), (8, 7), (8, 8), (8, 11)]),
    "BBYES": ((0, 128, 0), [(4, 9), (5, 10), (6, 11), (7, 12), (8, 11), (9, 10), (10, 9), (11, 8), (12, 7)]),
    "BBNO": ((192, 0, 0), [(4 + i, 9) for i in range(10)]),
    "BBCLOSE": ((128, 128, 0), [(5, 3 + i) for i in range(12)] + [(12, 3 + i) for i in range(12)]),
    "BBABORT": ((192, 0, 0), [(9, 3 + i) for i in range(12)]),
    "BBRETRY": ((0, 0, 160), [(5 + i, 5) for i in range(8)] + [(12, 5 + i) for i in range(8)]),
    "BBIGNORE": ((128, 0, 128), [(4 + i, 4 + i // 2) for i in range(10)]),
    "BBALL": ((0, 128, 128), [(4 + i, 13 - i) for i in range(10)]),
}


def kind_glyph(name):
    colour, points = KIND_SIGNS[name]
    height = 19 if name == "BBALL" else 18

    def cell(ink):
        pic = blank(18, height, (0, 128, 128, 255))  # teal: the bottom-left pixel is transparent
        for x, y in points:
            fill(pic, x, y, x + 2, y + 2, ink)
        return pic

    return side_by_side(cell(colour + (255,)), cell((128, 128, 128, 255)))


def progress_frame(horizontal):
    width, height = (9, 19) if horizontal else (19, 9)
    pic = blank(width, height, (255, 255, 255, 255))
    frame(pic, 0, 0, width, height, (104, 104, 104, 255))
    frame(pic, 1, 1, width - 1, height - 1, (190, 190, 190, 255))
    for x, y in ((0, 0), (width - 1, 0), (0, height - 1), (width - 1, height - 1)):
        pic[y][x] = CLEAR
    return pic


def progress_chunk(horizontal):
    width, height = (10, 12) if horizontal else (12, 10)
    pic = blank(width, height)
    light, dark = (190, 238, 170), (37, 178, 28)
    across = height if horizontal else width
    for i in range(across):
        t = abs(i - across / 2) / (across / 2)
        colour = mix(light, dark, t) + (255,)
        if horizontal:
            fill(pic, 0, i, width - 2, i + 1, colour)
        else:
            fill(pic, i, 2, i + 1, height, colour)
    return pic


SKINS = [
    ("XPCOMBOBUTTON", "BITMAP", combo_button),
    ("XPCOMBO", "BITMAP", xp_combo),
    ("STDCOMBO", "BITMAP", std_combo),
    ("XPELLIPSIS", "BITMAP", lambda: glyph_pair(ellipsis_cell, 10, 4)),
    ("XPDIR", "BITMAP", lambda: glyph_pair(folder_cell, 12, 11)),
    ("XPFILENAME", "BITMAP", lambda: glyph_pair(file_cell, 12, 11)),
    ("XPPUSHBUTTON", "IMG", push_button),
    ("XPCHECKBOX", "IMG", lambda: mark_cells("check")),
    ("XPRADIOBUTTON", "IMG", lambda: mark_cells("radio")),
    ("XPPROGRESSBARHORZ", "IMG", lambda: progress_frame(True)),
    ("XPPROGRESSBARVERT", "IMG", lambda: progress_frame(False)),
    ("XPPROGRESSCHUNKHORZ", "IMG", lambda: progress_chunk(True)),
    ("XPPROGRESSCHUNKVERT", "IMG", lambda: progress_chunk(False)),
] + [(name, "BITMAP", (lambda n=name: kind_glyph(n))) for name in KIND_SIGNS]
