#!/usr/bin/env python3
"""Draws the program's pictures and sounds: the icons (res/icons/<id>.png), the dialog
picture (res/bitmaps/519.png: the product name running from bottom to top on gold) and the
three alert sounds (res/sounds/<name>.wav). Standard library only; run it from anywhere:

    python3 res/make-resources.py

The generated files are committed beside this script, so the build never needs Python.
"""

import math
import os
import struct
import wave
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# ---- PNG -------------------------------------------------------------------------------

def write_png(path, width, height, rows, alpha):
    """rows: list of bytearrays, each width * (4 if alpha else 3) bytes."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + bytes(r) for r in rows)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


class Canvas:
    """A straight-alpha RGBA canvas; shapes are painted with anti-aliased coverage."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.w, self.h = width, height
        self.px = [[list(background) for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, cover):
        if cover <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        r, g, b = colour[:3]
        a = (colour[3] / 255.0 if len(colour) > 3 else 1.0) * min(cover, 1.0)
        d = self.px[y][x]
        da = d[3] / 255.0
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        for i, c in enumerate((r, g, b)):
            d[i] = int(round((c * a + d[i] * da * (1 - a)) / oa))
        d[3] = int(round(oa * 255))

    def fill(self, inside, colour, samples=4):
        """Paints where inside(x, y) holds, x and y in pixel units, supersampled."""
        step = 1.0 / samples
        for y in range(self.h):
            for x in range(self.w):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                            hits += 1
                if hits:
                    self.blend(x, y, colour, hits / float(samples * samples))

    def stroke(self, points, width, colour):
        """A polyline of the given width with round joints and ends."""
        coverage = {}
        radius = width / 2.0
        segments = list(zip(points, points[1:])) or [(points[0], points[0])]
        for (x0, y0), (x1, y1) in segments:
            lo_x = int(math.floor(min(x0, x1) - radius - 1))
            hi_x = int(math.ceil(max(x0, x1) + radius + 1))
            lo_y = int(math.floor(min(y0, y1) - radius - 1))
            hi_y = int(math.ceil(max(y0, y1) + radius + 1))
            for y in range(max(lo_y, 0), min(hi_y, self.h - 1) + 1):
                for x in range(max(lo_x, 0), min(hi_x, self.w - 1) + 1):
                    d = segment_distance(x + 0.5, y + 0.5, x0, y0, x1, y1)
                    c = radius + 0.5 - d
                    if c > 0 and c > coverage.get((x, y), 0):
                        coverage[(x, y)] = min(c, 1.0)
        for (x, y), c in coverage.items():
            self.blend(x, y, colour, c)

    def rows(self, alpha=True):
        out = []
        for row in self.px:
            line = bytearray()
            for r, g, b, a in row:
                line += bytes((r, g, b, a)) if alpha else bytes((r, g, b))
            out.append(line)
        return out


def segment_distance(px, py, x0, y0, x1, y1):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / length2))
    return math.hypot(px - (x0 + t * dx), py - (y0 + t * dy))


def arc(cx, cy, rx, ry, start_deg, end_deg, n=24):
    """Points of an elliptic arc; angles counter-clockwise with y pointing up."""
    pts = []
    for i in range(n + 1):
        a = math.radians(start_deg + (end_deg - start_deg) * i / n)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


def bezier(p0, p1, p2, p3, n=16):
    pts = []
    for i in range(n + 1):
        t = i / n
        u = 1 - t
        pts.append(tuple(u ** 3 * a + 3 * u * u * t * b + 3 * u * t * t * c + t ** 3 * d
                         for a, b, c, d in zip(p0, p1, p2, p3)))
    return pts


def in_polygon(poly):
    def inside(x, y):
        hit = False
        j = len(poly) - 1
        for i in range(len(poly)):
            xi, yi = poly[i]
            xj, yj = poly[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def in_ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


# ---- icons -----------------------------------------------------------------------------

BLUE = (0, 70, 215, 255)
RED = (215, 20, 20, 255)
GREEN = (20, 150, 40, 255)
YELLOW = (250, 210, 20, 255)
DARK = (40, 40, 40, 255)


def scaled(points, factor):
    return [(x * factor, y * factor) for x, y in points]


def icon_tick(size):
    c = Canvas(size, size)
    f = size / 32.0
    c.stroke(scaled([(5, 17), (12.5, 24.5), (27, 7)], f), 5.5 * f, BLUE)
    return c


def icon_cross(size):
    c = Canvas(size, size)
    f = size / 32.0
    c.stroke(scaled([(7, 7), (25, 25)], f), 5.5 * f, RED)
    c.stroke(scaled([(25, 7), (7, 25)], f), 5.5 * f, RED)
    return c


def icon_page():
    c = Canvas(32, 32)
    page = [(6, 2), (20, 2), (27, 9), (27, 30), (6, 30)]
    c.fill(in_polygon(page), (255, 255, 255, 255))
    c.stroke(page + [page[0]], 1.2, (90, 90, 90, 255))
    c.fill(in_polygon([(20, 2), (20, 9), (27, 9)]), (205, 205, 205, 255))
    c.stroke([(20, 2), (20, 9), (27, 9)], 1.2, (90, 90, 90, 255))
    for y in (14, 18, 22, 26):
        c.stroke([(10, y), (23, y)], 1.0, (150, 150, 150, 255))
    return c


def icon_warning():
    c = Canvas(32, 32)
    tri = [(16, 2.5), (30.5, 28.5), (1.5, 28.5)]
    c.fill(in_polygon(tri), YELLOW)
    c.stroke(tri + [tri[0]], 1.6, (120, 90, 0, 255))
    c.stroke([(16, 11), (16, 19.5)], 3.2, DARK)
    c.stroke([(16, 24), (16, 24)], 3.4, DARK)
    return c


def icon_question():
    c = Canvas(32, 32)
    hook = arc(16, 11, 7, 6.5, 160, 0, 16)                      # upper bowl (y down below)
    hook = [(x, 22 - y) for x, y in hook]                       # flip: canvas y points down
    pts = hook + bezier((23, 11), (23, 15), (16, 15), (16, 20))
    c.stroke(pts, 4.0, GREEN)
    c.stroke([(16, 26.5), (16, 26.5)], 4.4, GREEN)
    return c


def icon_database():
    c = Canvas(32, 32)
    body = (60, 110, 175, 255)
    top = (120, 170, 225, 255)
    edge = (30, 60, 110, 255)

    def lower_rim(y):
        return [(x, y + 4 * math.sqrt(max(0.0, 1 - ((x - 16) / 12.0) ** 2)))
                for x in [4 + i * 0.5 for i in range(49)]]

    c.fill(in_ellipse(16, 26, 12, 4), body)
    c.fill(in_polygon([(4, 7), (28, 7), (28, 26), (4, 26)]), body)
    c.fill(in_ellipse(16, 7, 12, 4), top)
    for y in (13.5, 20, 26):
        c.stroke(lower_rim(y), 1.0, edge)
    c.stroke(ellipse_pts(16, 7, 12, 4), 1.0, edge)
    c.stroke([(4, 7), (4, 26)], 1.0, edge)
    c.stroke([(28, 7), (28, 26)], 1.0, edge)
    return c


def save_icon(resource_id, canvas):
    write_png(os.path.join(HERE, "icons", "%d.png" % resource_id), canvas.w, canvas.h,
              canvas.rows(True), True)


# ---- the dialog picture ----------------------------------------------------------------
# Lower-case sans-serif strokes in glyph units: baseline 0, x-height 0.5, ascender 0.76,
# y pointing up. Each glyph: (advance, [polyline, ...]).

def ellipse_pts(cx, cy, rx, ry, n=40):
    return arc(cx, cy, rx, ry, 0, 360, n)


GLYPHS = {
    "Q": (0.70, [ellipse_pts(0.32, 0.37, 0.28, 0.37), [(0.40, 0.14), (0.64, -0.08)]]),
    "u": (0.50, [[(0.06, 0.5), (0.06, 0.18)] + arc(0.22, 0.18, 0.16, 0.18, 180, 360, 16)
                 + [(0.38, 0.18), (0.38, 0.5)], [(0.38, 0.5), (0.38, 0.0)]]),
    "i": (0.16, [[(0.06, 0.0), (0.06, 0.5)], [(0.06, 0.66), (0.06, 0.665)]]),
    "l": (0.16, [[(0.06, 0.0), (0.06, 0.76)]]),
    "s": (0.42, [bezier((0.36, 0.44), (0.30, 0.52), (0.05, 0.53), (0.05, 0.38))
                 + bezier((0.05, 0.38), (0.05, 0.25), (0.36, 0.29), (0.36, 0.13))
                 + bezier((0.36, 0.13), (0.36, -0.03), (0.08, -0.02), (0.03, 0.06))]),
    "t": (0.34, [[(0.12, 0.68), (0.12, 0.10)] + bezier((0.12, 0.10), (0.12, 0.0), (0.2, -0.01),
                                                       (0.29, 0.02)),
                 [(0.0, 0.5), (0.28, 0.5)]]),
    "e": (0.48, [[(0.04, 0.26), (0.42, 0.26)] + arc(0.23, 0.25, 0.19, 0.25, 0, 320, 30)]),
    "a": (0.46, [ellipse_pts(0.21, 0.25, 0.17, 0.25), [(0.38, 0.5), (0.38, 0.0)]]),
    "d": (0.46, [ellipse_pts(0.21, 0.25, 0.17, 0.25), [(0.38, 0.76), (0.38, 0.0)]]),
}


def dialog_picture():
    width, height = 198, 579          # the finished picture
    long_side, short_side = height, width
    # Draw the name across a landscape canvas, then turn it a quarter counter-clockwise so
    # that it runs from bottom to top.
    c = Canvas(long_side, short_side, (0, 0, 0, 0))
    text = "Quillstead"
    spacing = 0.09
    advance = sum(GLYPHS[ch][0] for ch in text) + spacing * (len(text) - 1)
    scale = (long_side - 70) / advance
    x0 = (long_side - advance * scale) / 2.0
    baseline = short_side / 2.0 + 0.30 * scale
    shadow = (255, 240, 180, 200)
    ink = (75, 45, 5, 255)
    for colour, offset in ((shadow, 2.0), (ink, 0.0)):
        x = x0
        for ch in text:
            adv, strokes = GLYPHS[ch]
            for line in strokes:
                pts = [(x + gx * scale + offset, baseline - gy * scale + offset) for gx, gy in line]
                c.stroke(pts, 0.085 * scale, colour)
            x += (adv + spacing) * scale

    rows = []
    for y in range(height):
        line = bytearray()
        for x in range(width):
            # Gold: a warm base with a soft shine along the middle of the strip.
            shine = math.exp(-((x - width * 0.42) / (width * 0.33)) ** 2)
            depth = 0.85 + 0.15 * math.sin(y / float(height) * math.pi)
            base = [min(255, int((160 + 80 * shine) * depth + 15)),
                    min(255, int((120 + 80 * shine) * depth)),
                    min(255, int((25 + 60 * shine) * depth))]
            if x < 3 or y < 3 or x >= width - 3 or y >= height - 3:
                base = [120, 85, 10]
            r, g, b, a = c.px[x][long_side - 1 - y]   # quarter turn counter-clockwise
            t = a / 255.0
            line += bytes(int(round(base[i] * (1 - t) + (r, g, b)[i] * t)) for i in range(3))
        rows.append(line)
    write_png(os.path.join(HERE, "bitmaps", "519.png"), width, height, rows, False)


# ---- sounds ----------------------------------------------------------------------------

RATE = 22050


def write_wav(name, samples):
    path = os.path.join(HERE, "sounds", name + ".wav")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32000))
                               for s in samples))


def fade(i, n, edge=220):
    return min(1.0, i / float(edge), (n - 1 - i) / float(edge))


def calm():
    """A soft two-tone chime: E6 then C6, each ringing out."""
    out = []
    for freq, length in ((1318.5, 0.35), (1046.5, 0.55)):
        n = int(RATE * length)
        for i in range(n):
            t = i / float(RATE)
            env = math.exp(-t * 6.0) * fade(i, n)
            out.append(0.45 * env * (math.sin(2 * math.pi * freq * t)
                                     + 0.25 * math.sin(4 * math.pi * freq * t)))
    return out


def warning():
    """A buzz: a rough 150 Hz tone pulsing three times."""
    n = int(RATE * 0.7)
    out = []
    for i in range(n):
        t = i / float(RATE)
        gate = 1.0 if (t % 0.233) < 0.18 else 0.0
        tone = sum(math.sin(2 * math.pi * 150 * k * t) / k for k in (1, 2, 3, 5, 7))
        out.append(0.35 * gate * tone * fade(i, n))
    return out


def alarm():
    """A fast rising siren: four sweeps from 600 Hz to 1600 Hz."""
    n = int(RATE * 0.9)
    out = []
    phase = 0.0
    for i in range(n):
        t = i / float(RATE)
        sweep = (t % 0.225) / 0.225
        freq = 600 + 1000 * sweep
        phase += 2 * math.pi * freq / RATE
        out.append(0.5 * math.sin(phase) * fade(i, n, 120))
    return out


def main():
    save_icon(128, icon_database())
    save_icon(370, icon_tick(32))
    save_icon(371, icon_cross(32))
    save_icon(373, icon_page())
    save_icon(390, icon_tick(16))
    save_icon(391, icon_cross(16))
    save_icon(395, icon_warning())
    save_icon(402, icon_warning())
    save_icon(574, icon_question())
    dialog_picture()
    write_wav("clm", calm())
    write_wav("zaaz", warning())
    write_wav("rml", alarm())


if __name__ == "__main__":
    main()
