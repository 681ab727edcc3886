"""Skins of the styled scroll bar, drawn for tools/gen_skins.py: the arrow
glyphs, the shafts, the thumbs and their grippers, four states each
(normal, hot, pressed, disabled) stacked downwards.
"""
MAGENTA = (255, 0, 255, 255)

# Face colours per state: light edge, dark edge, border.
THUMB_STATES = [
    ((202, 218, 252), (166, 190, 245), (120, 145, 210)),
    ((220, 232, 255), (185, 206, 252), (140, 165, 225)),
    ((166, 190, 245), (140, 168, 232), (100, 125, 190)),
    ((238, 238, 232), (226, 226, 218), (200, 200, 190)),
]
SHAFT_STATES = [(243, 241, 236), (238, 237, 229), (228, 225, 214), (248, 247, 244)]
GLYPH_STATES = [(77, 97, 133), (60, 80, 120), (40, 60, 100), (170, 170, 160)]


def blank(width, height, colour=MAGENTA):
    return [[colour for _ in range(width)] for _ in range(height)]


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def stack(cells):
    return [row for cell in cells for row in cell]


def shaft(vertical):
    cells = []
    for colour in SHAFT_STATES:
        cell = blank(17, 17, colour + (255,))
        edge = mix(colour, (0, 0, 0), 0.06) + (255,)
        for i in range(17):
            # A slightly darker line along each long edge.
            if vertical:
                cell[i][0] = cell[i][16] = edge
            else:
                cell[0][i] = cell[16][i] = edge
        cells.append(cell)
    return stack(cells)


def thumb(width, height, vertical):
    cells = []
    for light, dark, border in THUMB_STATES:
        cell = blank(width, height, (255, 255, 255, 255))
        for y in range(height):
            for x in range(width):
                t = x / (width - 1) if vertical else y / (height - 1)
                cell[y][x] = mix(light, dark, t) + (255,)
        for x in range(width):
            cell[0][x] = cell[height - 1][x] = border + (255,)
        for y in range(height):
            cell[y][0] = cell[y][width - 1] = border + (255,)
        cells.append(cell)
    return stack(cells)


def gripper(vertical):
    """Four short ridges across the thumb, on a magenta key."""
    cells = []
    for light, dark, _ in THUMB_STATES:
        cell = blank(8, 8)
        for i in range(0, 8, 2):
            for j in range(1, 7):
                if vertical:
                    cell[i][j] = (255, 255, 255, 255)
                    if i + 1 < 8:
                        cell[i + 1][j] = mix(dark, (0, 0, 0), 0.3) + (255,)
                else:
                    cell[j][i] = (255, 255, 255, 255)
                    if i + 1 < 8:
                        cell[j][i + 1] = mix(dark, (0, 0, 0), 0.3) + (255,)
        cells.append(cell)
    return stack(cells)


# Up, down, left and right chevrons in a 9 x 9 cell.
def chevron(direction, colour):
    cell = blank(9, 9)
    ink = colour + (255,)
    for step in range(4):
        for thick in range(2):
            a, b = 4 - step, 4 + step
            row = 2 + step + thick
            for col in (a, b):
                if direction == "up":
                    cell[row][col] = ink
                elif direction == "down":
                    cell[8 - row][col] = ink
                elif direction == "left":
                    cell[col][row] = ink
                else:
                    cell[col][8 - row] = ink
    return cell


def arrow_glyphs():
    cells = []
    for direction in ("up", "down", "left", "right"):
        for colour in GLYPH_STATES:
            cells.append(chevron(direction, colour))
    return stack(cells)


SKINS = [
    ("SCROLLARROWGLYPHS", "BITMAP", arrow_glyphs),
    ("SCROLLSHAFTHORIZONTAL", "BITMAP", lambda: shaft(False)),
    ("SCROLLSHAFTVERTICAL", "BITMAP", lambda: shaft(True)),
    ("SCROLLTHUMBHORIZONTAL", "BITMAP", lambda: thumb(22, 15, False)),
    ("SCROLLTHUMBVERTICAL", "BITMAP", lambda: thumb(15, 22, True)),
    ("SCROLLTHUMBGRIPPERHORIZONTAL", "BITMAP", lambda: gripper(False)),
    ("SCROLLTHUMBGRIPPERVERTICAL", "BITMAP", lambda: gripper(True)),
]
