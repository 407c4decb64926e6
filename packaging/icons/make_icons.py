"""Draws the menu icons of both programs: the scalable SVG and the PNGs of
every hicolor size, from one description of each picture, so that they
cannot drift apart. The results are committed; run this again after a
change here:

    /usr/bin/python3 packaging/icons/make_icons.py

zuz: the magnifying glass of its tray icon with the red "岚" of the other
tray frame inside the lens. Zonara: its grey button face, a dashed picked
rectangle and the magnifier pointer that the button shows. Derudovudi: a
blue screen with the four corner marks of a picked area and the picker's
thin cross.

Sizes up to 24 pixels leave out what would only be a smudge there (the
glyph, the dashes), and their lines are thicker so that they stay sharp."""

import math
import os
import sys

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
SUPERSAMPLE = 8  # PIL draws without anti-aliasing: draw large, then shrink
UNIT = 256  # every coordinate below is on a 256 x 256 canvas


# --- shapes ------------------------------------------------------------------
def bezier(p0, p1, p2, p3, steps=16):
    pts = []
    for i in range(steps + 1):
        t = i / steps
        a, b, c, d = (1 - t) ** 3, 3 * t * (1 - t) ** 2, 3 * t * t * (1 - t), t ** 3
        pts.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
                    a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))
    return pts


class Stroke:
    """An open path of line segments and cubic curves, round caps and joins.
    Each piece is ("L", point) or ("C", c1, c2, point)."""

    def __init__(self, start, pieces, width, colour):
        self.start, self.pieces, self.width, self.colour = start, pieces, width, colour

    def points(self):
        pts, cur = [self.start], self.start
        for piece in self.pieces:
            if piece[0] == "L":
                cur = piece[1]
                pts.append(cur)
            else:
                pts.extend(bezier(cur, piece[1], piece[2], piece[3])[1:])
                cur = piece[3]
        return pts

    def draw(self, d, k):
        w = self.width * k
        pts = [(x * k, y * k) for x, y in self.points()]
        d.line(pts, fill=self.colour, width=round(w), joint="curve")
        for x, y in (pts[0], pts[-1]):
            d.ellipse([x - w / 2, y - w / 2, x + w / 2, y + w / 2], fill=self.colour)

    def svg(self):
        path = [f"M{num(self.start[0])} {num(self.start[1])}"]
        for piece in self.pieces:
            path.append(piece[0] + " ".join(f"{num(x)} {num(y)}" for x, y in piece[1:]))
        return (f'<path d="{"".join(path)}" fill="none" stroke="{hexc(self.colour)}"'
                f'{opacity("stroke", self.colour)} stroke-width="{num(self.width)}"'
                ' stroke-linecap="round" stroke-linejoin="round"/>')


class Circle:
    def __init__(self, centre, radius, fill=None, outline=None, width=0):
        self.c, self.r, self.fill, self.outline, self.width = centre, radius, fill, outline, width

    def draw(self, d, k):
        (x, y), r = self.c, self.r
        if self.fill:
            d.ellipse([(x - r) * k, (y - r) * k, (x + r) * k, (y + r) * k], fill=self.fill)
        if self.outline:
            ro = r + self.width / 2
            d.ellipse([(x - ro) * k, (y - ro) * k, (x + ro) * k, (y + ro) * k],
                      outline=self.outline, width=round(self.width * k))

    def svg(self):
        return (f'<circle cx="{num(self.c[0])}" cy="{num(self.c[1])}" r="{num(self.r)}"'
                f' fill="{hexc(self.fill) if self.fill else "none"}"{opacity("fill", self.fill)}'
                + (f' stroke="{hexc(self.outline)}" stroke-width="{num(self.width)}"'
                   if self.outline else "") + "/>")


class Box:
    """A rectangle, optionally rounded, filled and/or outlined; the outline
    is centred on the edge as in SVG. dash=(on, off) draws the outline in
    dashes."""

    def __init__(self, rect, fill=None, outline=None, width=0, radius=0, dash=None):
        self.rect, self.fill, self.outline = rect, fill, outline
        self.width, self.radius, self.dash = width, radius, dash

    def draw(self, d, k):
        x0, y0, x1, y1 = self.rect
        if self.fill:
            d.rounded_rectangle([x0 * k, y0 * k, x1 * k, y1 * k], radius=self.radius * k,
                                fill=self.fill)
        if not self.outline:
            return
        h = self.width / 2
        if self.dash is None:
            d.rounded_rectangle([(x0 - h) * k, (y0 - h) * k, (x1 + h) * k, (y1 + h) * k],
                                radius=(self.radius + h) * k, outline=self.outline,
                                width=round(self.width * k))
            return
        # Dashes along the perimeter, clockwise from the top-left corner.
        on, off = self.dash
        corners = [(x0, y0), (x1, y0), (x1, y1), (x0, y1), (x0, y0)]
        phase = 0.0
        for (ax, ay), (bx, by) in zip(corners, corners[1:]):
            length = math.hypot(bx - ax, by - ay)
            pos = 0.0
            while pos < length:
                cycle = (phase + pos) % (on + off)
                run = min((on - cycle) if cycle < on else (on + off - cycle), length - pos)
                if cycle < on:
                    t0, t1 = pos / length, (pos + run) / length
                    p = (ax + (bx - ax) * t0, ay + (by - ay) * t0)
                    q = (ax + (bx - ax) * t1, ay + (by - ay) * t1)
                    d.rectangle([min(p[0], q[0]) * k - h * k, min(p[1], q[1]) * k - h * k,
                                 max(p[0], q[0]) * k + h * k, max(p[1], q[1]) * k + h * k],
                                fill=self.outline)
                pos += run
            phase += length

    def svg(self):
        x0, y0, x1, y1 = self.rect
        attrs = [f'x="{num(x0)}" y="{num(y0)}" width="{num(x1 - x0)}" height="{num(y1 - y0)}"']
        if self.radius:
            attrs.append(f'rx="{num(self.radius)}"')
        attrs.append(f'fill="{hexc(self.fill) if self.fill else "none"}"'
                     + opacity("fill", self.fill))
        if self.outline:
            attrs.append(f'stroke="{hexc(self.outline)}" stroke-width="{num(self.width)}"')
            if self.dash:
                attrs.append(f'stroke-dasharray="{num(self.dash[0])} {num(self.dash[1])}"')
        return f'<rect {" ".join(attrs)}/>'


def num(v):
    return f"{v:.2f}".rstrip("0").rstrip(".")


def hexc(colour):
    return "#%02x%02x%02x" % colour[:3]


def opacity(what, colour):
    if colour and len(colour) == 4 and colour[3] != 255:
        return f' {what}-opacity="{num(colour[3] / 255)}"'
    return ""


# --- the pictures ---------------------------------------------------------------
RED = (200, 0, 0)  # the glyph tray frame's red
RIM = (40, 40, 40)
LENS = (170, 220, 255)
HANDLE = (120, 70, 20)
FACE = (224, 224, 224)  # the Zonara button's #E0E0E0
FACE_LIGHT = (250, 250, 250)
FACE_DARK = (112, 112, 112)
CURSOR_LENS = (200, 230, 255, 200)


def glyph_lan(box, width):
    """"岚" in strokes: 山 above 风, on a box (x, y, size)."""
    bx, by, s = box

    def p(x, y):
        return (bx + x * s / 100, by + y * s / 100)

    def stroke(start, *pieces):
        return Stroke(p(*start), [(kind, *[p(*q) for q in pts]) for kind, *pts in pieces],
                      width, RED)

    return [
        # 山
        stroke((50, 4), ("L", (50, 38))),
        stroke((22, 16), ("L", (22, 38)), ("L", (78, 38))),
        stroke((78, 16), ("L", (78, 38))),
        # 风: the left-falling stroke, the top and the hooked right side
        stroke((28, 50), ("L", (28, 74)), ("C", (28, 84), (22, 92), (12, 98))),
        stroke((28, 50), ("L", (72, 50)), ("L", (72, 80)), ("C", (72, 90), (80, 96), (92, 96)),
               ("L", (93, 86))),
        # and the cross inside it
        stroke((60, 60), ("C", (56, 72), (48, 82), (38, 90))),
        stroke((42, 66), ("L", (62, 86))),
    ]


def zuz(small):
    if small:
        return [
            Stroke((170, 170), [("L", (232, 232))], 56, HANDLE),
            Circle((104, 104), 78, fill=LENS, outline=RIM, width=36),
        ]
    return [
        Stroke((168, 168), [("L", (230, 230))], 38, HANDLE),
        Circle((106, 106), 86, fill=LENS, outline=RIM, width=20),
    ] + glyph_lan((54, 50, 104), 11)


def zonara(small):
    face = [
        Box((20, 20, 236, 236), fill=FACE_DARK, radius=18),
        Box((20, 20, 226, 226), fill=FACE_LIGHT, radius=14),
        Box((30, 30, 226, 226), fill=FACE, radius=8),
    ]
    if small:
        return face + [
            Stroke((170, 170), [("L", (222, 222))], 64, (255, 255, 255)),
            Stroke((170, 170), [("L", (222, 222))], 40, (0, 0, 0)),
            Circle((116, 116), 66, fill=CURSOR_LENS, outline=(0, 0, 0), width=24),
            Stroke((84, 116), [("L", (148, 116))], 20, (0, 0, 0)),
            Stroke((116, 84), [("L", (116, 148))], 20, (0, 0, 0)),
        ]
    return face + [
        Box((50, 54, 176, 150), fill=(255, 255, 255, 150), outline=(255, 255, 255), width=8),
        Box((50, 54, 176, 150), outline=(0, 0, 0), width=8, dash=(16, 12)),
        Stroke((178, 178), [("L", (220, 220))], 40, (255, 255, 255)),
        Stroke((178, 178), [("L", (220, 220))], 24, (0, 0, 0)),
        Circle((142, 142), 50, fill=CURSOR_LENS, outline=(0, 0, 0), width=12),
        Stroke((116, 142), [("L", (168, 142))], 9, (0, 0, 0)),
        Stroke((142, 116), [("L", (142, 168))], 9, (0, 0, 0)),
    ]


SCREEN = (40, 90, 160)
SCREEN_LIGHT = (90, 150, 220)


def derudovudi(small):
    width = 28 if small else 14
    screen = [
        Box((16, 28, 240, 228), fill=SCREEN, radius=20),
        Box((28, 40, 228, 216), fill=SCREEN_LIGHT, radius=10),
    ]
    corners = []
    for (x, y, dx, dy) in ((58, 68, 1, 1), (198, 68, -1, 1), (58, 188, 1, -1),
                           (198, 188, -1, -1)):
        corners.append(Stroke((x + 40 * dx, y), [("L", (x, y)), ("L", (x, y + 40 * dy))],
                              width, (255, 255, 255)))
    if small:
        return screen + corners
    cross = [
        Stroke((128, 92), [("L", (128, 116))], 14, (255, 255, 255)),
        Stroke((128, 140), [("L", (128, 164))], 14, (255, 255, 255)),
        Stroke((92, 128), [("L", (116, 128))], 14, (255, 255, 255)),
        Stroke((140, 128), [("L", (164, 128))], 14, (255, 255, 255)),
        Stroke((128, 92), [("L", (128, 116))], 5, (0, 0, 0)),
        Stroke((128, 140), [("L", (128, 164))], 5, (0, 0, 0)),
        Stroke((92, 128), [("L", (116, 128))], 5, (0, 0, 0)),
        Stroke((140, 128), [("L", (164, 128))], 5, (0, 0, 0)),
    ]
    return screen + corners + cross


# --- output -------------------------------------------------------------------
def render(shapes, size):
    big = size * SUPERSAMPLE
    k = big / UNIT
    canvas = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    for shape in shapes:
        layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
        shape.draw(ImageDraw.Draw(layer), k)
        canvas.alpha_composite(layer)
    return canvas.resize((size, size), Image.LANCZOS)


def svg(shapes, title):
    body = "\n  ".join(s.svg() for s in shapes)
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{UNIT}" height="{UNIT}"'
            f' viewBox="0 0 {UNIT} {UNIT}">\n  <title>{title}</title>\n  {body}\n</svg>\n')


ICONS = {"org.example.zuz": ("zuz", zuz), "org.example.zonara": ("Zonara", zonara),
         "org.example.derudovudi": ("Derudovudi", derudovudi)}


def main(out=os.path.join(HERE, "hicolor")):
    for name, (title, picture) in ICONS.items():
        for size in SIZES:
            folder = os.path.join(out, f"{size}x{size}", "apps")
            os.makedirs(folder, exist_ok=True)
            image = render(picture(size <= 24), size)
            image.save(os.path.join(folder, name + ".png"), optimize=True)
        folder = os.path.join(out, "scalable", "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, name + ".svg"), "w", encoding="utf-8") as f:
            f.write(svg(picture(False), title))
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
