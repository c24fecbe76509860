#!/usr/bin/python3
"""Draws every picture and icon of Quillmote from code and writes them into resources/.

    resources/images/  the JPEG pictures of the settings window and the applet
    resources/icons/   the program icon and the five tab icons (.ico with 16, 32 and 64 px images;
                       the tab icons also with a 48 px image, stored as PNG)

Pictures named "_f%d" exist for the layout factors 1 and 2 of a device and 3 and 4 of a device
drawn at a desk's scale of 150 % and 200 %; the pictures factors 1 and 2 share ("_f12", the
maker's logo) have their own at factors 3 and 4. Every size is drawn at that size, none is
enlarged from a smaller one.

Run from the repository's root with Debian's Python 3 and Pillow:

    /usr/bin/python3 resources/art/draw_assets.py

and check the result with resources/art/check_assets.py. The output is deterministic: running
the script twice gives byte-identical files.

Every drawing is made SS times larger than its final size and reduced with a box filter, so that
shapes are smooth inside; sizes and coordinates below are in final pixels. Pictures with a
transparent colour (magenta) or a mask colour (green) keep hard edges against it: a pixel is
either fully drawn or fully background. Those JPEGs are written in YCbCr with an over-saturated
background triple, so that a libjpeg decoder gives back the key colour exactly (see KEYS).
"""

import io
import math
import os
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFont

RESOURCES = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

SS = 8  # supersampling factor of every drawing

# Palette: dark grey outlines, one calm blue accent.
ACCENT = (30, 100, 200)
ACCENT_LIGHT = (214, 228, 247)
ACCENT_PALE = (243, 247, 253)
OUTLINE = (64, 64, 64)
TEXT = (45, 45, 45)
GREY = (150, 150, 150)
LIGHT_GREY = (228, 228, 228)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
CLEAR = (0, 0, 0, 0)  # paints a hole back to background
FOLDER_BACK = (226, 176, 62)
FOLDER_FRONT = (250, 208, 102)

MAGENTA = (255, 0, 255)
GREEN = (0, 255, 0)

# YCbCr triples written for the key colours. A JFIF decoder computes
#   R = Y + 1.402 (Cr - 128),  G = Y - 0.344136 (Cb - 128) - 0.714136 (Cr - 128),
#   B = Y + 1.772 (Cb - 128)
# and clamps to 0..255. Magenta (106, 255, 255) gives R 284.1, G -28.4, B 331.0; green
# (150, 0, 0) gives R -29.5, G 285.5, B -76.8: some 28 levels of margin on every channel, far more
# than the coding error next to the drawing at quality 100.
KEYS = {MAGENTA: (106, 255, 255), GREEN: (150, 0, 0)}


def decode_ycc(y, cb, cr):
    """The colour a JFIF decoder computes for a YCbCr triple, before clamping."""
    return (y + 1.402 * (cr - 128),
            y - 0.344136 * (cb - 128) - 0.714136 * (cr - 128),
            y + 1.772 * (cb - 128))


def key_margin(key):
    """How far, in colour levels, the key's triple decodes beyond the clamping limits."""
    decoded = decode_ycc(*KEYS[key])
    return min(v - 255 if c == 255 else -v for v, c in zip(decoded, key))


def find_font(bold=True):
    names = ["DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"]
    folders = ["/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/dejavu",
               "/usr/share/fonts/TTF"]
    for folder in folders:
        for name in names:
            path = os.path.join(folder, name)
            if os.path.exists(path):
                return path
    return None


FONT_BOLD = find_font(True)


def font(size):
    if FONT_BOLD:
        return ImageFont.truetype(FONT_BOLD, round(size))
    return ImageFont.load_default()


# ---------------------------------------------------------------------------------------------
# Shapes and the drawing surface

class Rect:
    def __init__(self, box, radius=0):
        self.box, self.radius = box, radius

    def draw(self, draw, ss, fill, grow=0):
        x0, y0, x1, y1 = self.box
        x0, y0, x1, y1 = x0 - grow, y0 - grow, x1 + grow, y1 + grow
        if x1 <= x0 or y1 <= y0:
            return
        radius = max(0, self.radius + grow) * ss
        box = [round(x0 * ss), round(y0 * ss), round(x1 * ss) - 1, round(y1 * ss) - 1]
        radius = min(radius, (box[2] - box[0]) / 2, (box[3] - box[1]) / 2)
        draw.rounded_rectangle(box, radius=radius, fill=fill)


class Ellipse:
    def __init__(self, box):
        self.box = box

    def draw(self, draw, ss, fill, grow=0):
        x0, y0, x1, y1 = self.box
        x0, y0, x1, y1 = x0 - grow, y0 - grow, x1 + grow, y1 + grow
        if x1 <= x0 or y1 <= y0:
            return
        draw.ellipse([round(x0 * ss), round(y0 * ss), round(x1 * ss) - 1, round(y1 * ss) - 1],
                     fill=fill)


class Poly:
    """A simple polygon; `grow` moves every edge outwards (negative: inwards) with mitred corners."""

    def __init__(self, points):
        self.points = points

    def draw(self, draw, ss, fill, grow=0):
        points = offset_polygon(self.points, grow) if grow else self.points
        draw.polygon([(x * ss, y * ss) for x, y in points], fill=fill)


def offset_polygon(points, d):
    n = len(points)
    area = sum(points[i][0] * points[(i + 1) % n][1] - points[(i + 1) % n][0] * points[i][1]
               for i in range(n))
    sign = 1 if area > 0 else -1  # outward normal side (y grows downwards)
    lines = []
    for i in range(n):
        (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
        length = math.hypot(x1 - x0, y1 - y0)
        nx, ny = sign * (y1 - y0) / length, -sign * (x1 - x0) / length
        lines.append(((x0 + nx * d, y0 + ny * d), (x1 - x0, y1 - y0)))
    result = []
    for i in range(n):
        (px, py), (dx, dy) = lines[i - 1]
        (qx, qy), (ex, ey) = lines[i]
        det = dx * ey - dy * ex
        if abs(det) < 1e-9:
            result.append((qx, qy))
            continue
        t = ((qx - px) * ey - (qy - py) * ex) / det
        result.append((px + dx * t, py + dy * t))
    return result


class Sketch:
    """An RGBA surface addressed in final pixels and drawn SS times larger."""

    def __init__(self, width, height, background=(0, 0, 0, 0), ss=SS):
        self.size, self.ss = (width, height), ss
        self.image = Image.new("RGBA", (width * ss, height * ss), background)
        self.draw = ImageDraw.Draw(self.image)

    def fill(self, shapes, colour, grow=0):
        for shape in _listed(shapes):
            shape.draw(self.draw, self.ss, colour, grow)

    def outlined(self, shapes, fill, outline, width):
        """The union of `shapes` in `fill`, bordered inside by `width` pixels of `outline`."""
        self.fill(shapes, outline)
        self.fill(shapes, fill, -width)

    def mask(self, shapes, grow=0):
        mask = Image.new("L", self.image.size, 0)
        draw = ImageDraw.Draw(mask)
        for shape in _listed(shapes):
            shape.draw(draw, self.ss, 255, grow)
        return mask

    def fill_clipped(self, shapes, colour, clip, clip_grow=0):
        """`shapes` in `colour`, only where they overlap `clip`."""
        mask = ImageChops.multiply(self.mask(shapes), self.mask(clip, clip_grow))
        self.image.paste(colour + (255,), (0, 0), mask)

    def line(self, points, colour, width):
        self.draw.line([(x * self.ss, y * self.ss) for x, y in points], fill=colour,
                       width=round(width * self.ss), joint="curve")

    def arc(self, box, start, end, colour, width):
        x0, y0, x1, y1 = box
        ss = self.ss
        self.draw.arc([round(x0 * ss), round(y0 * ss), round(x1 * ss) - 1, round(y1 * ss) - 1],
                      start, end, fill=colour, width=round(width * ss))

    def text(self, xy, text, size, colour, anchor="mm"):
        self.draw.text((xy[0] * self.ss, xy[1] * self.ss), text, font=font(size * self.ss),
                       fill=colour, anchor=anchor)

    def text_width(self, text, size):
        left, _, right, _ = self.draw.textbbox((0, 0), text, font=font(size * self.ss))
        return (right - left) / self.ss

    def paste_pixels(self, image, xy):
        """Pastes an RGBA image pixel for pixel at `xy`."""
        big = image.resize((image.width * self.ss, image.height * self.ss), Image.NEAREST)
        self.image.alpha_composite(big, (round(xy[0] * self.ss), round(xy[1] * self.ss)))

    def result(self):
        return self.image.resize(self.size, Image.BOX)


def _listed(shapes):
    return shapes if isinstance(shapes, (list, tuple)) else [shapes]


def scaled(points, f, dx=0, dy=0):
    return [(dx + x * f, dy + y * f) for x, y in points]


# ---------------------------------------------------------------------------------------------
# Pixel art: the smallest glyphs are drawn pixel by pixel

def pixel_art(rows, palette):
    """An RGBA image from rows of characters; '.' is background, other characters index
    `palette`."""
    image = Image.new("RGBA", (max(len(row) for row in rows), len(rows)), CLEAR)
    for y, row in enumerate(rows):
        for x, char in enumerate(row):
            if char != ".":
                image.putpixel((x, y), palette[char] + (255,))
    return image


def n(v):
    """A coordinate as an int where it is whole, so that the drawings of factor 2 stay as they
    were written."""
    return int(v) if float(v).is_integer() else v


def scale2x(rows):
    """Doubles pixel art with the Scale2x rule: diagonals stay sharp steps of one pixel instead
    of turning into blocks of two."""
    h, w = len(rows), len(rows[0])

    def at(x, y):
        return rows[min(max(y, 0), h - 1)][min(max(x, 0), w - 1)]

    out = []
    for y in range(h):
        top, bottom = [], []
        for x in range(w):
            p, a, b, c, d = at(x, y), at(x, y - 1), at(x + 1, y), at(x - 1, y), at(x, y + 1)
            top += [a if c == a and c != d and a != b else p,
                    b if a == b and a != c and b != d else p]
            bottom += [c if d == c and d != b and c != a else p,
                       d if b == d and b != a and d != c else p]
        out += ["".join(top), "".join(bottom)]
    return out


def scale3x(rows):
    """Triples pixel art with the Scale3x rule, the same idea as Scale2x for three."""
    h, w = len(rows), len(rows[0])

    def at(x, y):
        return rows[min(max(y, 0), h - 1)][min(max(x, 0), w - 1)]

    out = []
    for y in range(h):
        lines = [[], [], []]
        for x in range(w):
            a, b, c = at(x - 1, y - 1), at(x, y - 1), at(x + 1, y - 1)
            d, e, f = at(x - 1, y), at(x, y), at(x + 1, y)
            g, hh, i = at(x - 1, y + 1), at(x, y + 1), at(x + 1, y + 1)
            if b != hh and d != f:
                e0 = d if d == b else e
                e1 = b if (d == b and e != c) or (b == f and e != a) else e
                e2 = f if b == f else e
                e3 = d if (d == b and e != g) or (d == hh and e != a) else e
                e5 = f if (b == f and e != i) or (hh == f and e != c) else e
                e6 = d if d == hh else e
                e7 = hh if (d == hh and e != i) or (hh == f and e != g) else e
                e8 = f if hh == f else e
            else:
                e0 = e1 = e2 = e3 = e5 = e6 = e7 = e8 = e
            lines[0] += [e0, e1, e2]
            lines[1] += [e3, e, e5]
            lines[2] += [e6, e7, e8]
        out += ["".join(line) for line in lines]
    return out


# ---------------------------------------------------------------------------------------------
# Glyphs

def mouse_glyph(sk, x, y, f, lit=None):
    """A two-button wheel mouse seen from above, 21 x 32 units of f pixels at (x, y); `lit`
    ("left", "middle" or "right") is filled with the accent colour."""
    w, h, lw = 21 * f, 32 * f, f
    body = Rect((x, y, x + w, y + h), radius=10 * f)
    split = y + 13 * f  # lower edge of the buttons
    sk.outlined(body, WHITE, OUTLINE, lw)
    if lit == "left":
        sk.fill_clipped(Rect((x, y, x + 10 * f, split)), ACCENT, body, -lw)
    elif lit == "right":
        sk.fill_clipped(Rect((x + 11 * f, y, x + w, split)), ACCENT, body, -lw)
    sk.fill(Rect((x, split - lw, x + w, split)), OUTLINE)
    sk.fill(Rect((x + 10 * f, y, x + 10 * f + lw, split)), OUTLINE)
    wheel = Rect((x + 7.5 * f, y + 3 * f, x + 13.5 * f, y + 11 * f), radius=2.5 * f)
    sk.outlined(wheel, ACCENT if lit == "middle" else LIGHT_GREY, OUTLINE, lw)


def wheel_glyph(sk, x, y, f, up):
    """A scroll wheel, 11 x 26 units, with an accent arrow beside it pointing up or down."""
    wheel = Rect((x, y, x + 11 * f, y + 26 * f), radius=5 * f)
    sk.outlined(wheel, LIGHT_GREY, OUTLINE, f)
    for ridge in range(5):
        ry = y + (6 + ridge * 3.5) * f
        sk.fill(Rect((x + 2 * f, ry, x + 9 * f, ry + f)), GREY)
    ax = x + 15 * f  # arrow: 11 units wide, centred on ax + 5.5 units
    head = [(0, 7), (5.5, 0), (11, 7)]
    if up:
        sk.fill(Poly(scaled(head, f, ax, y + 2 * f)), ACCENT)
        sk.fill(Rect((ax + 4 * f, y + 8 * f, ax + 7 * f, y + 24 * f)), ACCENT)
    else:
        sk.fill(Poly(scaled([(0, 0), (5.5, 7), (11, 0)], f, ax, y + 17 * f)), ACCENT)
        sk.fill(Rect((ax + 4 * f, y + 2 * f, ax + 7 * f, y + 18 * f)), ACCENT)


def folder_glyph(sk, x, y, f, opened):
    """A folder in a 22 x 22 cell of f pixels; open with a sheet of paper, or closed."""
    back = Poly(scaled([(2, 4), (8, 4), (10, 6), (20, 6), (20, 18), (2, 18)], f, x, y))
    sk.outlined(back, FOLDER_BACK, OUTLINE, f)
    if opened:
        sk.outlined(Rect((x + 5 * f, y + 8 * f, x + 18 * f, y + 14 * f)), WHITE, OUTLINE, f)
        front = Poly(scaled([(5.5, 10), (21.5, 10), (18.5, 18), (1.5, 18)], f, x, y))
        sk.outlined(front, FOLDER_FRONT, OUTLINE, f)
    else:
        sk.outlined(Rect((x + 2 * f, y + 8 * f, x + 20 * f, y + 18 * f)), FOLDER_FRONT, OUTLINE, f)


# At 22 pixels the gear's slanted teeth are set by hand: the top left quarter, mirrored.
GEAR_QUARTER = ["...........",
                "........KKK",
                "...KK...KAA",
                "..KAAK..KAA",
                "..KAAAKKKAA",
                "...KAAAAAAA",
                "....KAAAAAA",
                "....KAAAAAA",
                ".KKKKAAAAKK",
                ".KAAAAAAKWW",
                ".KAAAAAAKWW"]
GEAR_PALETTE = {"K": OUTLINE, "A": ACCENT, "W": WHITE}


def small_gear():
    half = [row + row[::-1] for row in GEAR_QUARTER]
    return pixel_art(half + half[::-1], GEAR_PALETTE)


def gear_glyph(sk, cx, cy, f):
    """A control-panel gear, 19 units across, centred on (cx, cy): a wheel with eight square
    teeth and a hub."""
    body, outer, tooth = 6.5 * f, 9.5 * f, 3.2 * f
    shapes = [Ellipse((cx - body, cy - body, cx + body, cy + body))]
    for i in range(8):
        angle = i * math.pi / 4
        ca, sa = math.cos(angle), math.sin(angle)
        corners = [(body - 3 * f, -tooth / 2), (outer, -tooth / 2), (outer, tooth / 2),
                   (body - 3 * f, tooth / 2)]
        shapes.append(Poly([(cx + r * ca - s * sa, cy + r * sa + s * ca) for r, s in corners]))
    sk.outlined(shapes, ACCENT, OUTLINE, f)
    sk.outlined(Ellipse((cx - 3 * f, cy - 3 * f, cx + 3 * f, cy + 3 * f)), WHITE, OUTLINE, f)


def window_glyph(sk, x, y, f):
    """A program window with an accent title bar in a 22 x 22 cell."""
    frame = Rect((x + 2 * f, y + 3 * f, x + 20 * f, y + 19 * f), radius=1 * f)
    sk.outlined(frame, WHITE, OUTLINE, f)
    sk.fill(Rect((x + 3 * f, y + 4 * f, x + 19 * f, y + 8 * f)), ACCENT)
    sk.fill(Rect((x + 16 * f, y + 5 * f, x + 18 * f, y + 7 * f)), WHITE)
    for row in range(3):
        ly = y + (10 + row * 3) * f
        sk.fill(Rect((x + 5 * f, ly, x + (17 - 4 * (row == 2)) * f, ly + f)), GREY)


# ---------------------------------------------------------------------------------------------
# Pictures of the mouse page

def mouse_band(f):
    """t0ms_f1/_f2: one 48 x 36 column per button: left, middle, right, wheel up, wheel down."""
    sk = Sketch(240 * f, 36 * f)
    for column, lit in enumerate(["left", "middle", "right"]):
        mouse_glyph(sk, column * 48 * f + 27 * f // 2, 2 * f, f, lit)
    for column, up in ((3, True), (4, False)):
        wheel_glyph(sk, (column * 48 + 11) * f, 5 * f, f, up)
    return sk.result()


def selected_column(f=2):
    """t0s1_f12 (drawn for factor 2, shared with 1), t0s1_f3, t0s1_f4: the highlight behind the
    selected button's column, 48 x 65 units, opaque."""
    w, h = 48 * f, 65 * f
    sk = Sketch(w, h, background=WHITE + (255,), ss=4)
    tab = Rect((n(1.5 * f), f, n(w - 1.5 * f), h + 10 * f), radius=9 * f)
    sk.fill(tab, ACCENT + (255,))
    inner = sk.mask(tab, grow=-2)
    gradient = Image.new("RGBA", sk.image.size)
    top, bottom = ACCENT_PALE, ACCENT_LIGHT
    height = sk.image.size[1]
    for row in range(height):
        t = min(1.0, row / (height * 0.55))
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        gradient.paste(colour + (255,), (0, row, sk.image.size[0], row + 1))
    sk.image.paste(gradient, (0, 0), inner)
    return sk.result().convert("RGB")


def action_strip(f=2):
    """t0s2_f12 (factor 2, shared with 1), t0s2_f3, t0s2_f4: the bar under the selected button
    that carries the action list, 144 x 30 units."""
    w, h, e = 144 * f, 30 * f, n(f / 2)
    sk = Sketch(w, h, background=WHITE + (255,), ss=4)
    sk.outlined(Rect((e, e, w - e, h - e), radius=7 * f), ACCENT_LIGHT + (255,), ACCENT + (255,), f)
    return sk.result().convert("RGB")


# ---------------------------------------------------------------------------------------------
# Cursor strip: ten pointers in cells of 10 x 20 pixels (20 x 40 at factor 2)

CURSOR_PALETTE = {"X": BLACK, "o": WHITE, "a": ACCENT}

SMALL_ARROW = ["X", "XX", "XoX", "XooX", "XoooX", "XooooX", "XoooooX", "XooooooX", "XoooXXXX",
               "XoXooX", "XX.XooX", "X...XooX", ".....XX"]

LARGE_ARROW = ["X", "XX", "XoX", "XooX", "XoooX", "XooooX", "XoooooX", "XooooooX", "XoooooooX",
               "XooooooooX", "XoooooXXXX", "XooXooX", "XoX.XooX", "XX..XooX", "X....XooX",
               ".....XooX", "......XX"]

HAND = ["...XX", "..XooX", "..XooX", "..XooX", "..XooXX", "..XooXoXX", "..XooXoXoX",
        ".XXooooooX", ".XoXoooooX", ".XoooooooX", "..XooooooX", "..XooooooX", "...XoooooX",
        "...XooooX", "....XXXX"]

CROSS = ["....oXo", "....oXo", "....oXo", "....oXo", ".ooooXoooo", ".XXXXXXXXX", ".ooooXoooo",
         "....oXo", "....oXo", "....oXo", "....oXo"]

DOT = ["...oooo", "..oXXXXo", ".oXXXXXXo", ".oXXXXXXo", ".oXXXXXXo", ".oXXXXXXo",
       "..oXXXXo", "...oooo"]

RING = ["...XXXX", ".XXXXXXXX", ".XX....XX", "XX......XX", "XX......XX", "XX......XX",
        "XX......XX", ".XX....XX", ".XXXXXXXX", "...XXXX"]

BEAM = ["..XX.XX"] + ["....X"] * 14 + ["..XX.XX"]

TRIANGLE = ["....oo", "...oXXo", "...oXXo", "..oXXXXo", "..oXXXXo", ".oXXXXXXo", ".oXXXXXXo",
            "oXXXXXXXXo", "oooooooooo"]


def recoloured(rows, mapping):
    return ["".join(mapping.get(c, c) for c in row) for row in rows]


def cursor_cell(rows, top):
    """The glyph's rows placed `top` rows down in a 10 x 20 cell."""
    cell = ["." * 10] * top + [row.ljust(10, ".") for row in rows]
    return cell + ["." * 10] * (20 - len(cell))


CURSORS = [
    cursor_cell(SMALL_ARROW, 3),                                    # 0 classic arrow
    cursor_cell(recoloured(SMALL_ARROW, {"X": "o", "o": "X"}), 3),  # 1 black arrow
    cursor_cell(LARGE_ARROW, 1),                                    # 2 large arrow
    cursor_cell(HAND, 2),                                           # 3 hand
    cursor_cell(CROSS, 4),                                          # 4 crosshair
    cursor_cell(DOT, 6),                                            # 5 dot
    cursor_cell(RING, 5),                                           # 6 ring
    cursor_cell(BEAM, 2),                                           # 7 text beam
    cursor_cell(recoloured(SMALL_ARROW, {"o": "a"}), 3),            # 8 accent arrow
    cursor_cell(TRIANGLE, 5),                                       # 9 triangle
]


def cursor_strip(f):
    """cursors_f1 to _f4: the ten pointer shapes side by side, index 0 at the left."""
    rows = ["".join(cell[y] for cell in CURSORS) for y in range(20)]
    if f == 2:
        rows = scale2x(rows)
    elif f == 3:
        rows = scale3x(rows)
    elif f == 4:
        rows = scale2x(scale2x(rows))
    return pixel_art(rows, CURSOR_PALETTE)


# ---------------------------------------------------------------------------------------------
# Picker strips: open folder, closed folder, item

def picker_strip(f, item):
    """tva/tvf: three 22 x 22 images on the mask colour; `item` draws the third."""
    sk = Sketch(66 * f, 22 * f)
    folder_glyph(sk, 0, 0, f, opened=True)
    folder_glyph(sk, 22 * f, 0, f, opened=False)
    item(sk, 44 * f, 0, f)
    return sk.result()


def applet_strip(f):
    def gear(sk, x, y, f):
        if f == 1:
            sk.paste_pixels(small_gear(), (x, y))
        else:
            gear_glyph(sk, x + 11 * f, y + 11 * f, f)
    return picker_strip(f, gear)


def program_strip(f):
    return picker_strip(f, window_glyph)


# ---------------------------------------------------------------------------------------------
# Logo and badge

def maker_logo(f=2):
    """morvane (factor 2, shared with 1), morvane_f3, morvane_f4: the maker's wordmark with a
    sea-and-hills emblem, 90 x 40 units, on white."""
    k = f / 2

    def u(v):
        return n(v * k)

    sk = Sketch(u(180), u(80), background=WHITE + (255,), ss=4)
    cx, cy, r = u(30), u(40), u(21)
    sk.fill(Ellipse((cx - r, cy - r, cx + r, cy + r)), ACCENT + (255,))
    sk.line([(cx - u(13), cy + u(4)), (cx - u(6), cy - u(8)), (cx, cy + u(1)), (cx + u(6), cy - u(8)),
             (cx + u(13), cy + u(4))], WHITE + (255,), u(3.2))
    wave = [(cx - u(14) + u(i * 0.5), cy + u(10) + u(1.8 * math.sin(i * 0.5 / 28 * 4 * math.pi)))
            for i in range(57)]
    sk.line(wave, WHITE + (255,), u(2.4))
    size = u(27)
    while sk.text_width("Morvane", size) > u(112):
        size -= u(0.5)
    sk.text((u(60), u(41)), "Morvane", size, TEXT + (255,), anchor="lm")
    return sk.result().convert("RGB")


def product_badge():
    """iton: the product badge, the program's emblem and the name Quillmote, 180 x 80."""
    sk = Sketch(180, 80, background=WHITE + (255,), ss=4)
    draw_program_icon(sk, 3, x=6, y=16)
    size = 24
    while sk.text_width("Quillmote", size) > 116:
        size -= 0.5
    sk.text((60, 40), "Quillmote", size, TEXT + (255,), anchor="lm")
    return sk.result().convert("RGB")


# ---------------------------------------------------------------------------------------------
# Icons: designed on a 16 x 16 grid, u pixels a unit

# At 16 pixels each icon is drawn pixel by pixel; 32 and 64 are drawn from shapes.
ICON_PALETTE = {"K": OUTLINE, "W": WHITE, "A": ACCENT, "L": LIGHT_GREY}

ICON16 = {
    "program": [
        ".AAAAAAAAAAAAAA.",
        "AAAAAAAAAAAWWWAA",
        "AAAAAAAAAAWWAWWA",
        "AAAAAAAAAAWWAWWA",
        "AAAAAAAAAAWWWWWA",
        "AAAAAAAAAAWWWWWA",
        "AAAAAAAAAAAWWWAA",
        "AAAAAAAAAAAAAAAA",
        "AWWWWWWWWWWWWWWA",
        "AWAWAWAWAWAWAWWA",
        "AWWWWWWWWWWWWWWA",
        "AWWAWAWAWAWAWAWA",
        "AWWWWWWWWWWWWWWA",
        "AWWWWAAAAAAWWWWA",
        "AWWWWWWWWWWWWWWA",
        ".AAAAAAAAAAAAAA.",
    ],
    "mouse": [
        "......KKKKK.....",
        ".....KAAKWWK....",
        "....KAAAKWWWK...",
        "....KAAAKWWWK...",
        "....KAAAKWWWK...",
        "....KAAAKWWWK...",
        "....KKKKKKKKK...",
        "....KWWWWWWWK...",
        "....KWWWWWWWK...",
        "....KWWWWWWWK...",
        "....KWWWWWWWK...",
        "....KWWWWWWWK...",
        "....KWWWWWWWK...",
        ".....KWWWWWK....",
        "......KKKKK.....",
        "................",
    ],
    "keyboard": [
        "................",
        "................",
        ".KKKKKKKKKKKKKK.",
        "KWWWWWWWWWWWWWWK",
        "KWKKWKKWKKWKKWWK",
        "KWKKWKKWKKWKKWWK",
        "KWWWWWWWWWWWWWWK",
        "KWWKKWKKWKKWKKWK",
        "KWWKKWKKWKKWKKWK",
        "KWWWWWWWWWWWWWWK",
        "KWWWAAAAAAAAWWWK",
        "KWWWWWWWWWWWWWWK",
        ".KKKKKKKKKKKKKK.",
        "................",
        "................",
        "................",
    ],
    "status": [
        "................",
        "..A..........A..",
        ".A..A......A..A.",
        "A..A...AA...A..A",
        "A..A..AAAA..A..A",
        "A..A..AAAA..A..A",
        "A..A...AA...A..A",
        ".A..A..KK..A..A.",
        "..A....KK....A..",
        ".......KK.......",
        "......KKKK......",
        "......KKKK......",
        "......KKKK......",
        ".....KKKKKK.....",
        ".....KKKKKK.....",
        "................",
    ],
    "help": [
        ".....AAAAAA.....",
        "...AAAAAAAAAA...",
        "..AAAAAAAAAAAA..",
        ".AAAAAWWWWAAAAA.",
        ".AAAAWWAAWWAAAA.",
        "AAAAAWWAAWWAAAAA",
        "AAAAAAAAAWWAAAAA",
        "AAAAAAAAWWAAAAAA",
        "AAAAAAAWWAAAAAAA",
        "AAAAAAAWWAAAAAAA",
        "AAAAAAAAAAAAAAAA",
        ".AAAAAAWWAAAAAA.",
        ".AAAAAAWWAAAAAA.",
        "..AAAAAAAAAAAA..",
        "...AAAAAAAAAA...",
        ".....AAAAAA.....",
    ],
    "about": [
        ".....AAAAAA.....",
        "...AAAAAAAAAA...",
        "..AAAAAAAAAAAA..",
        ".AAAAAAWWAAAAAA.",
        ".AAAAAAWWAAAAAA.",
        "AAAAAAAAAAAAAAAA",
        "AAAAAAWWWAAAAAAA",
        "AAAAAAAWWAAAAAAA",
        "AAAAAAAWWAAAAAAA",
        "AAAAAAAWWAAAAAAA",
        "AAAAAAAWWAAAAAAA",
        ".AAAAAAWWAAAAAA.",
        ".AAAAAWWWWAAAAA.",
        "..AAAAAAAAAAAA..",
        "...AAAAAAAAAA...",
        ".....AAAAAA.....",
    ],
}


def icon16(name):
    return pixel_art(ICON16[name], ICON_PALETTE)


LINE = {32: 2, 48: 2.5, 64: 3}


def icon_sketch(size):
    """A sketch for a 32, 48 or 64 pixel icon, the unit of the 16 x 16 design and the line width."""
    return Sketch(size, size), size / 16, LINE[size]


def draw_program_icon(sk, u, x=0, y=0):
    """The emblem at (x, y), 16 units across: an accent tile with a white mouse over a white
    keyboard."""
    def box(x0, y0, x1, y1):
        return (x + x0 * u, y + y0 * u, x + x1 * u, y + y1 * u)

    sk.fill(Rect(box(0, 0, 16, 16), radius=3 * u), ACCENT)
    # mouse, top right, its buttons parted by accent lines
    sk.fill(Rect(box(9.5, 1, 15, 7.5), radius=2.5 * u), WHITE)
    sk.fill(Rect(box(12, 1, 12.5, 3.5)), ACCENT)
    sk.fill(Rect(box(9.5, 3.5, 15, 4)), ACCENT)
    # keyboard, bottom: two staggered rows of keys and a space bar
    sk.fill(Rect(box(1, 8, 15, 15), radius=1 * u), WHITE)
    for row in range(2):
        for key in range(6):
            kx, ky = 2 + row + key * 2, 9 + row * 2
            sk.fill(Rect(box(kx, ky, kx + 1, ky + 1)), ACCENT)
    sk.fill(Rect(box(4.5, 13, 11.5, 14)), ACCENT)


def program_icon(size):
    if size == 16:
        return icon16("program")
    sk, u, _ = icon_sketch(size)
    draw_program_icon(sk, u)
    return sk.result()


def tab_mouse_icon(size):
    """The mouse page: a mouse with its left button in the accent colour."""
    if size == 16:
        return icon16("mouse")
    sk, u, lw = icon_sketch(size)
    x0, x1 = 4 * u, 13 * u
    body = Rect((x0, 0, x1, 15 * u), radius=4.5 * u)
    split, middle = 7 * u, 8.5 * u
    sk.outlined(body, WHITE, OUTLINE, lw)
    sk.fill_clipped(Rect((x0, 0, middle, split)), ACCENT, body, -lw)
    sk.fill(Rect((x0, split - lw, x1, split)), OUTLINE)
    sk.fill(Rect((middle - lw / 2, 0, middle + lw / 2, split)), OUTLINE)
    return sk.result()


def tab_keyboard_icon(size):
    """The keyboard page: a keyboard with an accent space bar."""
    if size == 16:
        return icon16("keyboard")
    sk, u, lw = icon_sketch(size)
    sk.outlined(Rect((0, 2 * u, 16 * u, 13 * u), radius=1.5 * u), WHITE, OUTLINE, lw)
    for row in range(2):
        for key in range(4):
            kx, ky = (2 + row + key * 3) * u, (4 + row * 3) * u
            sk.fill(Rect((kx, ky, kx + 2 * u, ky + 2 * u), radius=0.3 * u), OUTLINE)
    sk.fill(Rect((4 * u, 10 * u, 12 * u, 11 * u)), ACCENT)
    return sk.result()


def tab_status_icon(size):
    """The status page: a mast sending radio waves, the Bluetooth link."""
    if size == 16:
        return icon16("status")
    sk, u, _ = icon_sketch(size)
    c, cy = 8 * u, 5 * u
    sk.fill(Poly([(c - 0.6 * u, 6 * u), (c + 0.6 * u, 6 * u), (c + 2.2 * u, 15 * u),
                  (c - 2.2 * u, 15 * u)]), OUTLINE)
    sk.fill(Ellipse((c - 2 * u, cy - 2 * u, c + 2 * u, cy + 2 * u)), ACCENT)
    for radius in (4.5, 7.5):
        box = (c - radius * u, cy - radius * u, c + radius * u, cy + radius * u)
        sk.arc(box, 140, 220, ACCENT, 1.3 * u)
        sk.arc(box, -40, 40, ACCENT, 1.3 * u)
    return sk.result()


def tab_help_icon(size):
    """The help page: a question mark on an accent disc."""
    if size == 16:
        return icon16("help")
    sk, u, _ = icon_sketch(size)
    sk.fill(Ellipse((0, 0, 16 * u, 16 * u)), ACCENT)
    sk.text((8 * u, 8.3 * u), "?", 12.5 * u, WHITE)
    return sk.result()


def tab_about_icon(size):
    """The about page: an "i" on an accent disc."""
    if size == 16:
        return icon16("about")
    sk, u, _ = icon_sketch(size)
    sk.fill(Ellipse((0, 0, 16 * u, 16 * u)), ACCENT)
    sk.fill(Ellipse((6.75 * u, 2.75 * u, 9.25 * u, 5.25 * u)), WHITE)
    sk.fill(Rect((6 * u, 6.5 * u, 9 * u, 7.5 * u)), WHITE)
    sk.fill(Rect((7 * u, 6.5 * u, 9 * u, 12.5 * u)), WHITE)
    sk.fill(Rect((6 * u, 12 * u, 10 * u, 13 * u)), WHITE)
    return sk.result()


# ---------------------------------------------------------------------------------------------
# Writers

def key_out(image, key):
    """Splits a drawing into its RGB colours and its mask (255 where drawn): a pixel is drawn
    when at least half covered; it keeps the colour of what covers it, never the key's."""
    mask = image.getchannel("A").point(lambda a: 255 if a >= 128 else 0)
    rgb = Image.new("RGB", image.size, key)
    rgb.paste(image.convert("RGB"), (0, 0), mask)
    return rgb, mask


def keyed_jpeg(rgb, mask, key):
    """The image in YCbCr, with the key's over-saturated triple wherever `mask` is 0."""
    background = Image.new("YCbCr", rgb.size, KEYS[key])
    return Image.composite(rgb.convert("YCbCr"), background, mask)


def jpeg_bytes(image):
    """Baseline JPEG at quality 100 (every quantiser 1) without chroma subsampling."""
    out = io.BytesIO()
    image.save(out, "JPEG", quality=100, subsampling=0)
    return out.getvalue()


def png_bytes(image):
    out = io.BytesIO()
    image.save(out, "PNG", optimize=True)
    return out.getvalue()


def ico_bytes(images, bits=32, png=()):
    """An .ico with one 32-bit (or 24-bit) image per entry, each with the AND mask matching its
    alpha: a pixel less than half opaque is transparent, black and masked, so that old masked
    drawing and alpha drawing show the same shape. A 24-bit image has no alpha: the mask alone
    makes it transparent, and its rows are padded to whole words. The images in `png` follow as
    PNG files, a pixel less than half opaque made transparent as in the others."""
    header = struct.pack("<HHH", 0, 1, len(images) + len(png))
    entries, blobs = b"", b""
    offset = 6 + 16 * (len(images) + len(png))
    for image in images:
        w, h = image.size
        pixels = list(image.getdata())
        xor = bytearray()
        mask_stride = ((w + 31) // 32) * 4
        and_mask = bytearray()
        for row in range(h - 1, -1, -1):
            mask_row = bytearray(mask_stride)
            colours = bytearray()
            for col in range(w):
                r, g, b, a = pixels[row * w + col]
                if a < 128:
                    r = g = b = a = 0
                    mask_row[col // 8] |= 0x80 >> (col % 8)
                colours += bytes((b, g, r, a)) if bits == 32 else bytes((b, g, r))
            colours += bytes(-len(colours) % 4)
            xor += colours
            and_mask += mask_row
        info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bits, 0, len(xor) + len(and_mask),
                           0, 0, 0, 0)
        blob = info + bytes(xor) + bytes(and_mask)
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, bits, len(blob), offset)
        blobs += blob
        offset += len(blob)
    for image in png:
        w, h = image.size
        alpha = image.getchannel("A").point(lambda a: 255 if a >= 128 else 0)
        solid = Image.new("RGBA", image.size, CLEAR)
        solid.paste(image, (0, 0), alpha)
        blob = png_bytes(solid)
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return header + entries + blobs


# ---------------------------------------------------------------------------------------------
# What is written where

KEYED = {
    "t0ms_f1.jpg": (lambda: mouse_band(1), MAGENTA),
    "t0ms_f2.jpg": (lambda: mouse_band(2), MAGENTA),
    "cursors_f1.jpg": (lambda: cursor_strip(1), MAGENTA),
    "cursors_f2.jpg": (lambda: cursor_strip(2), MAGENTA),
    "tva_f1.jpg": (lambda: applet_strip(1), GREEN),
    "tva_f2.jpg": (lambda: applet_strip(2), GREEN),
    "tvf_f1.jpg": (lambda: program_strip(1), GREEN),
    "tvf_f2.jpg": (lambda: program_strip(2), GREEN),
    "t0ms_f3.jpg": (lambda: mouse_band(3), MAGENTA),
    "t0ms_f4.jpg": (lambda: mouse_band(4), MAGENTA),
    "cursors_f3.jpg": (lambda: cursor_strip(3), MAGENTA),
    "cursors_f4.jpg": (lambda: cursor_strip(4), MAGENTA),
    "tva_f3.jpg": (lambda: applet_strip(3), GREEN),
    "tva_f4.jpg": (lambda: applet_strip(4), GREEN),
    "tvf_f3.jpg": (lambda: program_strip(3), GREEN),
    "tvf_f4.jpg": (lambda: program_strip(4), GREEN),
}

OPAQUE = {
    "t0s1_f12.jpg": selected_column,
    "t0s2_f12.jpg": action_strip,
    "morvane.jpg": maker_logo,
    "iton.jpg": product_badge,
    "t0s1_f3.jpg": lambda: selected_column(3),
    "t0s1_f4.jpg": lambda: selected_column(4),
    "t0s2_f3.jpg": lambda: action_strip(3),
    "t0s2_f4.jpg": lambda: action_strip(4),
    "morvane_f3.jpg": lambda: maker_logo(3),
    "morvane_f4.jpg": lambda: maker_logo(4),
}

ICON_SIZES = (16, 32, 64)
# The tab icons' size at factor 3, a desk's 150 %: only desktop Windows shows it, which reads an
# image stored as PNG, so it costs the program a few hundred bytes instead of nine kilobytes.
PNG_ICON_SIZES = (48,)
TAB_ICONS = ("tab_mouse.ico", "tab_keyboard.ico", "tab_status.ico", "tab_help.ico", "tab_about.ico")

ICON_SET = {
    "quillmote.ico": program_icon,
    "tab_mouse.ico": tab_mouse_icon,
    "tab_keyboard.ico": tab_keyboard_icon,
    "tab_status.ico": tab_status_icon,
    "tab_help.ico": tab_help_icon,
    "tab_about.ico": tab_about_icon,
}


def keyed_picture(name):
    """(rgb, mask, key) of a picture with a key colour, as drawn before encoding."""
    build, key = KEYED[name]
    rgb, mask = key_out(build(), key)
    return rgb, mask, key


def render_all():
    """Every output as {path relative to resources/: bytes}."""
    files = {}
    # How many background pixels each keyed picture has: a decoder under test must give back
    # exactly that many pixels of the key colour.
    counts = ["# picture, key colour (R G B), background pixels"]
    for name in KEYED:
        rgb, mask, key = keyed_picture(name)
        files["images/" + name] = jpeg_bytes(keyed_jpeg(rgb, mask, key))
        background = sum(1 for drawn in mask.getdata() if not drawn)
        counts.append("%s %d %d %d %d" % ((name,) + key + (background,)))
    files["images/key_pixels.txt"] = ("\n".join(counts) + "\n").encode("ascii")
    for name, build in OPAQUE.items():
        files["images/" + name] = jpeg_bytes(build())
    for name, build in ICON_SET.items():
        png = [build(size) for size in PNG_ICON_SIZES] if name in TAB_ICONS else []
        files["icons/" + name] = ico_bytes([build(size) for size in ICON_SIZES], png=png)
    # The control-panel entry's icon: the program's, in 24-bit colour as the control panel of
    # the device expects it.
    files["icons/ollenset.ico"] = ico_bytes([program_icon(size) for size in ICON_SIZES], bits=24)
    return files


def main():
    for relative, data in render_all().items():
        path = os.path.join(RESOURCES, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(data)
    for key, label in ((MAGENTA, "magenta"), (GREEN, "green")):
        print("%s background %s: decodes %s, margin %.1f levels" % (
            label, KEYS[key], tuple(round(v, 1) for v in decode_ycc(*KEYS[key])),
            key_margin(key)))
    print("wrote %d pictures and %d icons under %s" % (len(KEYED) + len(OPAQUE), len(ICON_SET) + 1,
                                                        RESOURCES))
    return 0


if __name__ == "__main__":
    sys.exit(main())
