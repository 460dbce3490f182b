#!/usr/bin/env python3
"""Draws the two toolbar and menu image strips and writes them as BMP files.

Each strip holds 26 images of 16x16 pixels side by side (416x16, 24-bit).
Image i belongs to command i of the toolbar (see ICONS below). The light
strip is drawn with dark strokes on the light toolbar grey and is also used
by the menu; the dark strip has light strokes on the near-black toolbar.
The toolbar draws the bitmap as is, so the unused pixels are painted with
the toolbar background.

Every image is drawn at pixel level from a few shapes (rectangles, lines,
polygons, circles and small pixel patterns), with no smoothing, so strokes
stay crisp. Disabled buttons are grayed out by the toolbar from the image:
it keeps the outline of every pixel that is neither the background nor
pure white, so page interiors in the light strip are pure white and shapes
never depend on a single thin coloured line.

    make_toolbar_images.py LIGHT.bmp DARK.bmp
"""
import math
import struct
import sys

SIZE = 16

LIGHT = {
    'bg': (240, 240, 240),
    'ink': (40, 44, 52),
    'soft': (118, 124, 134),
    'paper': (255, 255, 255),
    'metal': (178, 186, 198),
    'blue': (44, 114, 204),
    'blue_edge': (22, 62, 130),
    'blue_light': (170, 208, 245),
    'green': (46, 160, 67),
    'green_edge': (20, 96, 36),
    'red': (212, 52, 44),
    'red_edge': (128, 22, 18),
    'orange': (240, 146, 36),
    'orange_edge': (150, 80, 10),
    'yellow': (246, 204, 78),
    'yellow_edge': (168, 118, 20),
    'white': (255, 255, 255),
    'wood': (236, 204, 150),
    'shine': (255, 255, 255),
    'purple': (140, 80, 200),
}

DARK = {
    'bg': (32, 32, 32),
    'ink': (226, 228, 232),
    'soft': (150, 156, 166),
    'paper': (32, 32, 32),
    'metal': (120, 128, 142),
    'blue': (78, 150, 240),
    'blue_edge': (150, 200, 255),
    'blue_light': (40, 74, 118),
    'green': (72, 200, 96),
    'green_edge': (150, 236, 160),
    'red': (240, 80, 70),
    'red_edge': (255, 160, 150),
    'orange': (250, 166, 60),
    'orange_edge': (255, 212, 150),
    'yellow': (236, 196, 80),
    'yellow_edge': (255, 232, 160),
    'white': (255, 255, 255),
    'wood': (214, 184, 140),
    'shine': (120, 170, 230),
    'purple': (180, 130, 240),
}

# Letters used in pixel patterns; '.' leaves the pixel alone.
LEGEND = {
    'k': 'ink', 's': 'soft', 'p': 'paper', 'm': 'metal', 'x': 'bg', 'W': 'white',
    'b': 'blue', 'B': 'blue_edge', 'l': 'blue_light',
    'g': 'green', 'G': 'green_edge', 'r': 'red', 'R': 'red_edge',
    'o': 'orange', 'O': 'orange_edge', 'y': 'yellow', 'Y': 'yellow_edge',
    'w': 'wood', 'v': 'purple',
}


class Icon:
    """One 16x16 image. Colours are palette names; coordinates are pixels,
    ranges are inclusive. Round shapes use pixel centres (x + 0.5, y + 0.5),
    so the middle of the image is (8, 8)."""

    def __init__(self, palette, blank=False):
        self.palette = palette
        fill = None if blank else palette['bg']
        self.pixels = [[fill] * SIZE for _ in range(SIZE)]

    def dot(self, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.pixels[y][x] = self.palette[colour]

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0, colour)
        self.rect(x0, y1, x1, y1, colour)
        self.rect(x0, y0, x0, y1, colour)
        self.rect(x1, y0, x1, y1, colour)

    def box(self, x0, y0, x1, y1, fill, edge):
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, colour):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x1 > x0 else -1), (1 if y1 > y0 else -1)
        err = dx + dy
        while True:
            self.dot(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def polygon(self, points, colour):
        """Fills the pixels whose centres lie inside the polygon."""
        for y in range(SIZE):
            for x in range(SIZE):
                if inside_polygon(x + 0.5, y + 0.5, points):
                    self.dot(x, y, colour)

    def outlined(self, points, fill, edge):
        """A filled polygon whose border pixels are drawn in the edge colour."""
        inside = {(x, y) for y in range(SIZE) for x in range(SIZE)
                  if inside_polygon(x + 0.5, y + 0.5, points)}
        for x, y in inside:
            border = any((x + dx, y + dy) not in inside
                         for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            self.dot(x, y, edge if border else fill)

    def disc(self, cx, cy, radius, colour):
        self.ring(cx, cy, radius, -1, colour)

    def ring(self, cx, cy, outer, inner, colour, keep=None):
        """Pixels between the two radii; keep(angle in degrees, 0 = right,
        90 = up) can leave out part of the ring."""
        for y in range(SIZE):
            for x in range(SIZE):
                dx, dy = x + 0.5 - cx, y + 0.5 - cy
                r = math.hypot(dx, dy)
                if inner < r <= outer:
                    angle = math.degrees(math.atan2(-dy, dx)) % 360
                    if keep is None or keep(angle):
                        self.dot(x, y, colour)

    def overlay(self, draw, *args):
        """Draws a part on top with a one pixel ring of background round it,
        so it stands apart from what lies underneath."""
        layer = Icon(self.palette, blank=True)
        draw(layer, *args)
        near = ((1, 0), (-1, 0), (0, 1), (0, -1))
        for y in range(SIZE):
            for x in range(SIZE):
                if layer.pixels[y][x] is not None:
                    self.pixels[y][x] = layer.pixels[y][x]
                elif any(0 <= x + dx < SIZE and 0 <= y + dy < SIZE
                         and layer.pixels[y + dy][x + dx] is not None
                         for dx, dy in near):
                    self.pixels[y][x] = self.palette['bg']

    def pattern(self, x0, y0, rows, legend=None):
        legend = legend or LEGEND
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch != '.':
                    self.dot(x0 + dx, y0 + dy, legend[ch])


def inside_polygon(x, y, points):
    inside = False
    for i, (ax, ay) in enumerate(points):
        bx, by = points[i - 1]
        if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
            inside = not inside
    return inside


# ---------------------------------------------------------------- shared parts

def arrow_down(c, top, head, tip, fill='blue', edge='blue_edge'):
    """A bold arrow pointing down: shaft from row top, head from row head
    (14 pixels wide) narrowing to the tip row."""
    c.rect(6, top, 9, head - 1, fill)
    for i, y in enumerate(range(head, tip + 1)):
        c.rect(1 + i, y, 14 - i, y, fill)
    c.rect(5, top, 5, head - 1, edge)
    c.rect(10, top, 10, head - 1, edge)
    c.rect(6, top, 9, top, edge)
    for i, y in enumerate(range(head, tip + 1)):
        c.dot(1 + i, y, edge)
        c.dot(14 - i, y, edge)
    c.rect(1, head, 5, head, edge)
    c.rect(10, head, 14, head, edge)


def flip_vertical(c):
    c.pixels.reverse()


def page(c, x0, y0, x1, y1, fold=3):
    """A sheet of paper with the top right corner folded."""
    c.polygon([(x0, y0), (x1 + 1 - fold, y0), (x1 + 1, y0 + fold),
               (x1 + 1, y1 + 1), (x0, y1 + 1)], 'paper')
    c.rect(x0, y0, x1 - fold, y0, 'ink')
    c.rect(x0, y0, x0, y1, 'ink')
    c.rect(x0, y1, x1, y1, 'ink')
    c.rect(x1, y0 + fold, x1, y1, 'ink')
    for i in range(fold + 1):
        c.dot(x1 - fold + i, y0 + i, 'ink')
    c.rect(x1 - fold, y0 + 1, x1 - fold, y0 + fold, 'ink')
    c.rect(x1 - fold, y0 + fold, x1, y0 + fold, 'ink')


def script_page(c, right):
    """A page of indented lines, like a program."""
    page(c, 0, 0, right, 15)
    c.rect(2, 4, 5, 4, 'soft')
    c.rect(4, 6, 8, 6, 'soft')
    c.rect(4, 8, 7, 8, 'soft')
    c.rect(2, 10, 6, 10, 'soft')
    c.rect(2, 12, 5, 12, 'soft')


def item_list(c, widths):
    """Three bulleted lines of stored text."""
    for y, width in zip((1, 6, 11), widths):
        c.box(0, y, 2, y + 2, 'blue', 'blue_edge')
        c.rect(4, y + 1, 4 + width - 1, y + 1, 'ink')


def pencil(c, x0, y0):
    """A pencil in a 10x10 box, lying from its tip at the bottom left to its
    cap at the top right, three pixels thick between two outline rows."""
    for y in range(10):
        for x in range(10):
            across = x + y - 9      # -2 .. 2 from one edge to the other
            along = x - y           # -9 at the tip .. 9 at the cap
            if abs(across) > 2 or along > 8:
                continue
            if along >= 5:
                colour = 'ink' if abs(across) == 2 or along >= 8 else 'metal'
            elif along >= -3:
                colour = 'ink' if abs(across) == 2 or along == 4 else 'orange'
            elif along <= -8:
                colour = 'ink'      # the lead
            elif along == -7 and abs(across) == 2:
                continue
            else:
                colour = 'wood' if abs(across) <= 1 else 'ink'
            c.dot(x0 + x, y0 + y, colour)


def play(c, x0, y0):
    """A play triangle pointing right, 9 wide and 10 tall."""
    c.outlined([(x0, y0), (x0 + 9, y0 + 5), (x0, y0 + 10)], 'green', 'green_edge')


def plug(c, x0, fill, edge, prongs):
    """A plug facing right, its body from column x0, its cable leaving left."""
    c.rect(0, 7, x0 - 1, 8, edge)
    c.box(x0, 4, x0 + 3, 11, fill, edge)
    c.dot(x0, 4, 'bg')
    c.dot(x0, 11, 'bg')
    if prongs:
        c.rect(x0 + 4, 5, x0 + 6, 6, edge)
        c.rect(x0 + 4, 9, x0 + 6, 10, edge)


def socket(c, x0, fill, edge):
    """A taller socket facing left, its body from column x0, cable leaving right."""
    c.box(x0, 2, x0 + 3, 13, fill, edge)
    c.dot(x0 + 3, 2, 'bg')
    c.dot(x0 + 3, 13, 'bg')
    c.rect(x0 + 4, 7, 15, 8, edge)


# ---------------------------------------------------------------- the images

def draw_save(c):
    """A floppy disk."""
    c.polygon([(1, 1), (13, 1), (15, 3), (15, 15), (1, 15)], 'blue')
    c.rect(1, 1, 12, 1, 'blue_edge')
    c.rect(1, 1, 1, 14, 'blue_edge')
    c.rect(1, 14, 14, 14, 'blue_edge')
    c.rect(14, 3, 14, 14, 'blue_edge')
    c.dot(13, 2, 'blue_edge')
    c.box(4, 1, 11, 5, 'metal', 'blue_edge')
    c.rect(8, 2, 9, 4, 'blue_edge')
    c.box(3, 8, 12, 14, 'paper', 'blue_edge')
    c.rect(5, 10, 10, 10, 'soft')
    c.rect(5, 12, 10, 12, 'soft')


def draw_open(c):
    """An open folder."""
    c.polygon([(1, 2), (6, 2), (7, 4), (13, 4), (13, 13), (1, 13)], 'yellow')
    c.rect(1, 2, 5, 2, 'yellow_edge')
    c.dot(6, 3, 'yellow_edge')
    c.rect(7, 4, 12, 4, 'yellow_edge')
    c.rect(1, 2, 1, 13, 'yellow_edge')
    c.rect(12, 4, 12, 6, 'yellow_edge')
    c.polygon([(4, 7), (16, 7), (13, 14), (1, 14)], 'orange')
    c.rect(4, 7, 15, 7, 'orange_edge')
    c.line(4, 7, 1, 13, 'orange_edge')
    c.line(15, 7, 12, 13, 'orange_edge')
    c.rect(1, 13, 12, 13, 'orange_edge')


def draw_clear(c):
    """A trash can."""
    c.frame(6, 0, 9, 2, 'ink')
    c.rect(1, 2, 14, 3, 'ink')
    c.box(3, 5, 12, 15, 'paper', 'ink')
    c.rect(4, 14, 11, 14, 'ink')
    c.dot(3, 15, 'bg')
    c.dot(12, 15, 'bg')
    for x in (5, 10):
        c.rect(x, 7, x, 12, 'ink')
    c.rect(7, 7, 8, 12, 'soft')


def draw_scroll_forward(c):
    """A bold arrow down."""
    arrow_down(c, 1, 8, 14)


def draw_scroll_back(c):
    """A bold arrow up."""
    arrow_down(c, 1, 8, 14)
    flip_vertical(c)


def draw_last(c):
    """An arrow down onto a bar."""
    arrow_down(c, 0, 5, 11, 'blue', 'blue_edge')
    c.rect(1, 13, 14, 15, 'ink')


def draw_first(c):
    """An arrow up onto a bar."""
    draw_last(c)
    flip_vertical(c)


def draw_redraw(c):
    """Two arrows chasing each other clockwise round a circle."""
    c.pattern(0, 0, [
        '................',
        '................',
        '.....gggggg.....',
        '...gggggggggg...',
        '..ggg......ggg..',
        '............gg..',
        '..gg........gg..',
        '.gggg.....gggggg',
        'gggggg.....gggg.',
        '..gg........gg..',
        '..gg............',
        '..ggg......ggg..',
        '...gggggggggg...',
        '.....gggggg.....',
    ])


def draw_input_send(c):
    """A keyboard with an arrow leaving it."""
    c.rect(2, 2, 9, 4, 'green')
    c.polygon([(9, -1), (13, 3.5), (9, 8)], 'green')
    c.box(0, 8, 15, 15, 'paper', 'ink')
    for x in (2, 4, 6, 8, 10, 12):
        c.dot(x, 10, 'ink')
    c.rect(2, 12, 3, 12, 'ink')
    c.rect(5, 12, 10, 12, 'ink')
    c.rect(12, 12, 13, 12, 'ink')


def draw_preset_send(c):
    """A list of lines with an arrow pointing right."""
    item_list(c, (5, 5, 5))
    c.rect(9, 6, 11, 9, 'green')
    c.polygon([(12, 3), (16, 8), (12, 13)], 'green')


def draw_macro(c):
    """A program page with a play button."""
    script_page(c, 11)
    c.overlay(play, 7, 5)


def draw_connection_settings(c):
    """A gear."""
    for y in range(SIZE):
        for x in range(SIZE):
            dx, dy = x + 0.5 - 8, y + 0.5 - 8
            r = math.hypot(dx, dy)
            angle = math.degrees(math.atan2(dy, dx)) % 45
            tooth = angle < 12 or angle > 33
            if 2.3 < r <= 5.3 or (5.3 < r <= 7.6 and tooth):
                c.dot(x, y, 'ink')
    c.ring(8, 8, 4.2, 2.3, 'soft')


def draw_connect(c):
    """A plug pushed into its socket."""
    plug(c, 4, 'green', 'green_edge', prongs=False)
    socket(c, 8, 'green', 'green_edge')


def draw_disconnect(c):
    """A plug pulled out of its socket."""
    plug(c, 1, 'red', 'red_edge', prongs=True)
    socket(c, 11, 'red', 'red_edge')


def draw_host_name(c):
    """A computer monitor."""
    c.box(0, 1, 15, 11, 'blue_light', 'ink')
    c.frame(1, 2, 14, 10, 'ink')
    c.line(3, 5, 5, 3, 'shine')
    c.line(3, 7, 7, 3, 'shine')
    c.rect(6, 12, 9, 12, 'ink')
    c.rect(3, 13, 12, 14, 'ink')


def draw_preset_edit(c):
    """A list of lines with a pencil."""
    item_list(c, (9, 6, 2))
    c.overlay(pencil, 6, 6)


def draw_memo(c):
    """A spiral notepad."""
    c.box(1, 2, 14, 15, 'paper', 'ink')
    c.rect(1, 2, 14, 4, 'ink')
    for x in (3, 7, 11):
        c.rect(x, 0, x + 1, 3, 'ink')
        c.rect(x, 2, x + 1, 2, 'bg')
    for y in (7, 10, 13):
        c.rect(3, y, 12, y, 'soft')


def draw_macro_edit(c):
    """A program page with a pencil."""
    script_page(c, 9)
    c.overlay(pencil, 6, 6)


def draw_environment(c):
    """Three sliders."""
    for y, knob in ((2, 9), (8, 3), (13, 7)):
        c.rect(0, y, 15, y, 'soft')
        c.box(knob, y - 2, knob + 3, y + 2, 'orange', 'orange_edge')


def draw_dark_light(c):
    """A circle, dark on the left and light on the right."""
    c.disc(8, 8, 7.3, 'ink')
    c.ring(8, 8, 5.4, -1, 'paper', keep=lambda a: a < 90 or a > 270)


def draw_language(c):
    """The letters A and あ."""
    c.pattern(0, 0, [
        '..kk...',
        '.kkkk..',
        'kk..kk.',
        'kk..kk.',
        'kkkkkk.',
        'kk..kk.',
        'kk..kk.',
    ])
    c.pattern(6, 6, [
        '...b......',
        'bbbbbbbb..',
        '...b......',
        '...b.b....',
        '...bbbbbb.',
        '.bbb.b...b',
        'b..bb....b',
        'b..b.....b',
        '.bb.....b.',
        '......bb..',
    ])


def draw_colour(c):
    """A painter's palette with dabs of paint."""
    c.pattern(0, 0, [
        '....kkkkkk......',
        '..kkppppppkk....',
        '.kppppppppppkk..',
        '.kppppppppppppk.',
        'kpppppppppppppk.',
        'kppppppppppppppk',
        'kppppppppkkppppk',
        'kpppppppkxxkpppk',
        'kpppppppkxxkpppk',
        'kppppppppkkpppk.',
        '.kpppppppppppk..',
        '.kpppppppppkk...',
        '..kkppppppk.....',
        '....kkppppk.....',
        '......kkkk......',
    ])
    c.rect(3, 4, 4, 5, 'red')
    c.rect(7, 2, 8, 3, 'yellow')
    c.rect(11, 4, 12, 5, 'green')
    c.rect(3, 8, 4, 9, 'blue')
    c.rect(5, 11, 6, 12, 'purple')


def draw_about(c):
    """The letter i in a circle."""
    c.disc(8, 8, 7.3, 'blue')
    c.rect(7, 3, 8, 4, 'white')
    c.rect(7, 6, 8, 12, 'white')
    c.rect(6, 6, 6, 6, 'white')
    c.rect(6, 12, 9, 12, 'white')


def draw_manual(c):
    """A closed book with a question mark on the cover."""
    c.box(2, 0, 14, 15, 'blue', 'blue_edge')
    c.rect(2, 0, 3, 15, 'blue_edge')
    c.rect(5, 13, 14, 14, 'white')
    c.rect(5, 14, 13, 14, 'blue_edge')
    c.pattern(6, 2, [
        '.WWWW.',
        'WW..WW',
        '....WW',
        '...WW.',
        '..WW..',
        '..WW..',
        '......',
        '..WW..',
    ])


def draw_web(c):
    """A globe: outline, equator, two parallels and three meridians."""
    c.disc(7.5, 7.5, 7.5, 'paper')
    c.rect(7, 1, 7, 14, 'blue')
    c.rect(1, 7, 14, 7, 'blue')
    for y in (3, 11):
        c.rect(2, y, 12, y, 'blue')
    for y in range(1, 14):
        half = round(3.6 * math.sqrt(max(0.0, 1 - ((y - 7) / 7.0) ** 2)))
        c.dot(7 - half, y, 'blue')
        c.dot(7 + half, y, 'blue')
    c.ring(7.5, 7.5, 7.6, 6.5, 'blue')


def draw_exit(c):
    """The power symbol."""
    c.ring(8, 9, 7, 4.8, 'red', keep=lambda a: not (50 < a < 130))
    c.rect(7, 0, 8, 8, 'red')


ICONS = [
    draw_save,                 # 0 save the trace
    draw_open,                 # 1 load a trace file
    draw_clear,                # 2 clear the trace
    draw_scroll_forward,       # 3 scroll toward newer lines
    draw_scroll_back,          # 4 scroll toward older lines
    draw_last,                 # 5 jump to the last line
    draw_first,                # 6 jump to the first line
    draw_redraw,               # 7 redraw
    draw_input_send,           # 8 input-send dialog
    draw_preset_send,          # 9 preset send dialog
    draw_macro,                # 10 macro dialog
    draw_connection_settings,  # 11 connection settings
    draw_connect,              # 12 open the connection
    draw_disconnect,           # 13 close the connection
    draw_host_name,            # 14 host name and address
    draw_preset_edit,          # 15 preset edit dialog
    draw_memo,                 # 16 memo
    draw_macro_edit,           # 17 edit a macro file
    draw_environment,          # 18 environment settings
    draw_dark_light,           # 19 dark and light mode
    draw_language,             # 20 language
    draw_colour,               # 21 colour settings
    draw_about,                # 22 about
    draw_manual,               # 23 manual
    draw_web,                  # 24 product web page
    draw_exit,                 # 25 end the program
]


def strip(palette):
    """All images side by side as rows of (r, g, b), top row first."""
    rows = [[] for _ in range(SIZE)]
    for draw in ICONS:
        icon = Icon(palette)
        draw(icon)
        for y in range(SIZE):
            rows[y].extend(icon.pixels[y])
    return rows


def write_bmp(path, rows):
    """A 24-bit bottom-up BMP."""
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data),
                       2835, 2835, 0, 0)
    with open(path, 'wb') as out:
        out.write(header + info + data)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write('usage: make_toolbar_images.py LIGHT.bmp DARK.bmp\n')
        return 2
    write_bmp(argv[1], strip(LIGHT))
    write_bmp(argv[2], strip(DARK))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
