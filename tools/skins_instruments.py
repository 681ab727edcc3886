"""Skins of the instrument widgets and the extended controls (up-down and
speed buttons), drawn for tools/gen_skins.py: the mounting hole and the
heading end pieces of a front plate, the LED and key-cap glyphs, the spin
button faces and arrows, and the speed-button faces.
"""
import math

MAGENTA = (255, 0, 255, 255)
WHITE = (255, 255, 255, 255)


def blank(width, height, colour=(0, 0, 0, 0)):
    return [[colour for _ in range(width)] for _ in range(height)]


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def side_by_side(*cells):
    return [sum((cell[y] for cell in cells), []) for y in range(len(cells[0]))]


def stack(cells):
    return [row for cell in cells for row in cell]


def disc(size, centre, radius, colour_at):
    """A disc with an anti-aliased edge; colour_at(distance / radius) gives its colour."""
    pic = blank(size[0], size[1])
    cx, cy = centre
    for y in range(size[1]):
        for x in range(size[0]):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            cover = max(0.0, min(1.0, radius + 0.5 - d))
            if cover > 0:
                r, g, b = colour_at(min(d / radius, 1.0))
                pic[y][x] = (r, g, b, int(round(255 * cover)))
    return pic


# ---- Front plate


def mounting_hole():
    """A countersunk screw hole: dark recess, lit lower rim; magenta is transparent."""
    pic = blank(19, 12, MAGENTA)
    for y in range(12):
        for x in range(19):
            # An oval slot: the screw head sits in a 19 x 12 recess.
            nx, ny = (x + 0.5 - 9.5) / 9.5, (y + 0.5 - 6) / 6
            d = math.hypot(nx, ny)
            if d <= 1.0:
                shade = 40 + int(50 * (1 - d)) + (30 if ny > 0.5 else 0)
                pic[y][x] = (shade, shade, shade + 5, 255)
    for x in range(6, 13):
        pic[6][x] = (20, 20, 24, 255)  # the screw's slot
    return pic


def header_piece(width, left):
    """A heading end piece: the dark bar's rounded end on white (transparent)."""
    pic = blank(width, 14, WHITE)
    for y in range(14):
        for x in range(width):
            edge = x if left else width - 1 - x
            # The bar's end is a slanted cut with a thin line along the top.
            if y < 4 or edge >= (width - 1) - (y - 4) // 2 - (width // 3):
                if edge >= 2 or y < 4:
                    pic[y][x] = (32, 32, 32, 255)
    # The transparent colour is read from the bottom-left pixel.
    pic[13][0] = WHITE
    return pic


# ---- Check-box glyphs

LED_COLOURS = {
    "MIXED": ((80, 200, 60), (255, 60, 40)),
    "RED": ((255, 40, 30),),
    "GREEN": ((40, 230, 60),),
    "ORANGE": ((255, 160, 30),),
    "BLUE": ((60, 140, 255),),
    "PURPLE": ((200, 80, 255),),
    "YELLOW": ((255, 240, 60),),
    "WHITE": ((250, 250, 250),),
}


def led(on_colour):
    """A round lamp, 12 x 12: dark glass when off, glowing with a highlight when on."""
    dark = tuple(int(c * 0.25) + 20 for c in on_colour)

    def shade(base, lit):
        def at(t):
            c = mix(base, (0, 0, 0), 0.35 * t)
            return mix(c, (255, 255, 255), 0.6 * max(0.0, 0.5 - t)) if lit else c
        return at

    return disc((12, 12), (6, 6), 5.2, shade(dark, False)), disc((12, 12), (6, 6), 5.2, shade(on_colour, True))


def led_glyph(name):
    colours = LED_COLOURS[name]
    off, _ = led(colours[0])
    _, on = led(colours[-1])
    return side_by_side(off, on)


def key_cap():
    """A square grey key cap, 17 x 17 per half (off, on); magenta corners are transparent."""
    halves = []
    for lit in (False, True):
        cell = blank(17, 17, MAGENTA)
        for y in range(1, 16):
            for x in range(1, 16):
                t = (x + y) / 30
                base = (200, 200, 205) if lit else (140, 140, 146)
                cell[y][x] = mix(base, (60, 60, 66), t) + (255,)
        for i in range(1, 16):
            cell[1][i] = cell[i][1] = (230, 230, 235, 255) if lit else (180, 180, 186, 255)
            cell[15][i] = cell[i][15] = (40, 40, 44, 255)
        if lit:
            for y in range(6, 11):
                for x in range(6, 11):
                    cell[y][x] = (255, 255, 255, 255)
        halves.append(cell)
    return side_by_side(*halves)


RECT_COLOURS = {
    "AMBER": (255, 176, 0), "BLUE": (40, 120, 255), "GREEN": (40, 220, 60),
    "PURPLE": (180, 60, 255), "RED": (255, 30, 30), "YELLOW": (255, 240, 40),
}


def rect_led(name):
    """A flat rectangular lamp, 16 x 8 per half; magenta border is transparent."""
    colour = RECT_COLOURS[name]
    halves = []
    for lit in (False, True):
        cell = blank(16, 8, MAGENTA)
        base = colour if lit else tuple(int(c * 0.3) + 15 for c in colour)
        for y in range(1, 7):
            for x in range(1, 15):
                c = mix(base, (255, 255, 255), 0.45) if lit and y == 2 else base
                cell[y][x] = c + (255,)
        halves.append(cell)
    return side_by_side(*halves)


# ---- Up-down control

SPIN_STATES = [  # normal, hot, pressed, disabled: light, dark, border
    ((250, 252, 255), (200, 215, 245), (150, 170, 215)),
    ((255, 255, 255), (215, 230, 255), (110, 150, 230)),
    ((170, 190, 235), (210, 225, 250), (90, 120, 190)),
    ((245, 245, 242), (235, 235, 230), (200, 200, 195)),
]


def spin_faces():
    cells = []
    for light, dark, border in SPIN_STATES:
        cell = blank(15, 16)
        for y in range(16):
            for x in range(15):
                cell[y][x] = mix(light, dark, y / 15) + (255,)
        for x in range(15):
            cell[0][x] = cell[15][x] = border + (255,)
        for y in range(16):
            cell[y][0] = cell[y][14] = border + (255,)
        for x, y in ((0, 0), (14, 0), (0, 15), (14, 15)):
            cell[y][x] = border + (96,)
        cells.append(cell)
    return stack(cells)


ARROW_COLOURS = [(77, 97, 133), (50, 70, 120), (30, 50, 100), (180, 180, 175)]


def spin_glyphs(direction):
    """Four small triangles stacked: up and down are 7 x 6, left and right 6 x 7."""
    vertical = direction in ("UP", "DOWN")
    w, h = (7, 6) if vertical else (6, 7)
    cells = []
    for colour in ARROW_COLOURS:
        cell = blank(w, h)
        for i in range(4):  # base 7 wide, rows of 7, 5, 3, 1
            for j in range(i, 7 - i):
                if vertical:
                    y = (4 - i) if direction == "UP" else (1 + i)
                    cell[y][j] = colour + (255,)
                else:
                    x = (4 - i) if direction == "LEFT" else (1 + i)
                    cell[j][x] = colour + (255,)
        cells.append(cell)
    return stack(cells)


def std_arrows():
    """8 x 8 arrows: columns enabled and disabled, rows down, up, right, left; magenta is transparent."""
    pic = blank(16, 32, MAGENTA)
    for row, direction in enumerate(("DOWN", "UP", "RIGHT", "LEFT")):
        for col, colour in enumerate(((0, 0, 0), (128, 128, 128))):
            for i in range(4):
                for j in range(i, 7 - i):
                    if direction == "DOWN":
                        x, y = j, 2 + i
                    elif direction == "UP":
                        x, y = j, 5 - i
                    elif direction == "RIGHT":
                        x, y = 2 + i, j
                    else:
                        x, y = 5 - i, j
                    pic[row * 8 + y][col * 8 + x] = colour + (255,)
    return pic


# ---- Speed buttons

SPEED_STATES = [  # flat, normal, pressed, disabled, down, down and hot: (light, dark, border) or None
    None,
    ((255, 255, 255), (225, 232, 245), (160, 175, 205)),
    ((200, 210, 230), (230, 236, 248), (110, 130, 175)),
    ((246, 246, 244), (238, 238, 235), (205, 205, 200)),
    ((215, 222, 238), (240, 244, 252), (120, 140, 185)),
    ((190, 205, 235), (225, 233, 250), (90, 115, 170)),
]


def speed_faces(width):
    cells = []
    for state in SPEED_STATES:
        cell = blank(width, 23)
        if state:
            light, dark, border = state
            for y in range(23):
                for x in range(width):
                    cell[y][x] = mix(light, dark, y / 22) + (255,)
            for x in range(width):
                cell[0][x] = cell[22][x] = border + (255,)
            for y in range(23):
                cell[y][0] = cell[y][width - 1] = border + (255,)
            for x, y in ((0, 0), (width - 1, 0), (0, 22), (width - 1, 22)):
                cell[y][x] = border + (80,)
        cells.append(cell)
    return stack(cells)


# ---- Section panels


def chevron_strip(rows, double=False):
    """Two 9-pixel faces: normal (black outline, grey inside) and hot (navy, blue); fuchsia is transparent."""
    height = len(rows)
    faces = []
    for outline, inside in (((0, 0, 0), (128, 128, 128)), ((0, 0, 128), (0, 0, 255))):
        cell = blank(9, height, MAGENTA)
        for y, (start, end) in enumerate(rows):
            for x in range(start, end):
                cell[y][x] = (outline if x in (start, end - 1) else inside) + (255,)
        faces.append(cell)
    return side_by_side(*faces)


# Rows of each chevron as (first, past last) columns.
# The up chevron leaves its bottom row empty: a strip's bottom-left pixel is its transparent colour.
CHEVRON_UP = [(4, 5), (3, 6), (2, 7), (1, 8), (0, 9), (0, 0)]
CHEVRON_DOWN = [(0, 9), (1, 8), (2, 7), (3, 6), (4, 5)]
CHEVRONS_DOWN = [(0, 9), (1, 8), (2, 7), (0, 9), (1, 8), (2, 7), (3, 6)]


def sections_pattern():
    """A 4 x 4 dotted pattern for the design-time frames."""
    pic = blank(4, 4, WHITE)
    for y in range(4):
        for x in range(4):
            if (x + y) % 2 == 0:
                pic[y][x] = (0, 0, 0, 255)
    return pic


SKINS = [
    ("XPCOLLAPSESECTION", "BITMAP", lambda: chevron_strip(CHEVRON_UP)),
    ("XPEXPANDSECTION", "BITMAP", lambda: chevron_strip(CHEVRON_DOWN)),
    ("XPEXPANDSECTIONS", "BITMAP", lambda: chevron_strip(CHEVRONS_DOWN)),
    ("XPSECTIONSPATTERN", "BITMAP", sections_pattern),
    ("INSTRUMENT_MOUNTING_HOLE", "BITMAP", mounting_hole),
    ("INSTRUMENT_HEADER1", "BITMAP", lambda: header_piece(17, True)),
    ("INSTRUMENT_HEADER2", "BITMAP", lambda: header_piece(12, False)),
    ("INSTRUMENT_CHECK_BUTTON", "BITMAP", key_cap),
    ("STDARROWS", "BITMAP", std_arrows),
    ("XPSPINBTNUP", "IMG", spin_faces),
    ("XPSPINBTNDOWN", "IMG", spin_faces),
    ("XPSPINBTNLEFT", "IMG", spin_faces),
    ("XPSPINBTNRIGHT", "IMG", spin_faces),
    ("XPSPEEDBTN", "IMG", lambda: speed_faces(20)),
    ("XPSPEEDSPLIT", "IMG", lambda: speed_faces(24)),
    ("XPSPEEDDROPDOWN", "IMG", lambda: speed_faces(11)),
]
SKINS += [("INSTRUMENT_CHECK_" + n, "IMG", (lambda n=n: led_glyph(n))) for n in LED_COLOURS]
SKINS += [("INSTRUMENT_CHECK_RECT_" + n, "BITMAP", (lambda n=n: rect_led(n))) for n in RECT_COLOURS]
SKINS += [("XPSPINGLYPH" + d, "IMG", (lambda d=d: spin_glyphs(d))) for d in ("UP", "DOWN", "LEFT", "RIGHT")]
