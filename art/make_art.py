#!/usr/bin/env python3
"""Draws the program's small pictures and writes them as 32-bit BMPs with alpha.

Usage: make_art.py OUTDIR

  tray.bmp        96 x 16: the six tray images (green badge, red badge, grey badge, red clock,
                  orange box, monitor)
  glyph_ok.bmp    32 x 16: OK glyph and its greyed twin
  glyph_cancel.bmp 32 x 16: Cancel glyph and its greyed twin
  header_key.bmp  48 x 48: picture in the password dialogs' header
  logo.bmp        55 x 55: product logo of the About dialog
  icon_web.bmp, icon_mail.bmp  16 x 16: link icons
"""
import math
import struct
import sys
from pathlib import Path

GREEN = (0x2E, 0x9E, 0x4F)
RED = (0xD0, 0x32, 0x2C)
GREY = (0x8A, 0x8F, 0x94)
ORANGE = (0xF0, 0x8C, 0x1E)
TEAL = (0x1F, 0x8A, 0x8C)
DARK_TEAL = (0x12, 0x5E, 0x60)
WHITE = (0xFF, 0xFF, 0xFF)
BLUE = (0x2A, 0x6F, 0xC9)
SCREEN = (0x9C, 0xD3, 0xF0)
BLACK = (0x30, 0x30, 0x30)
GOLD = (0xE3, 0xB0, 0x2A)


class Canvas:
    """RGBA canvas; shapes are coverage functions over continuous coordinates, 4x4 supersampled."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * width for _ in range(height)]

    def fill(self, inside, colour, ox=0, oy=0, w=None, h=None):
        w = self.width if w is None else w
        h = self.height if h is None else h
        n = 4
        for y in range(oy, oy + h):
            for x in range(ox, ox + w):
                hits = sum(inside(x - ox + (i + 0.5) / n, y - oy + (j + 0.5) / n) for i in range(n) for j in range(n))
                if hits:
                    self.blend(x, y, colour, hits / (n * n))

    def blend(self, x, y, colour, alpha):
        r, g, b, a = self.px[y][x]
        out_a = alpha + a * (1 - alpha)
        mix = lambda c, d: (c * alpha + d * a * (1 - alpha)) / out_a
        self.px[y][x] = (mix(colour[0], r), mix(colour[1], g), mix(colour[2], b), out_a)

    def greyed_copy(self, ox, w, to_x):
        for y in range(self.height):
            for x in range(w):
                r, g, b, a = self.px[y][ox + x]
                lum = 0.3 * r + 0.59 * g + 0.11 * b
                grey = 128 + (lum - 128) * 0.5
                self.px[y][to_x + x] = (grey, grey, grey, a * 0.8)

    def bmp(self):
        rows = []
        for y in reversed(range(self.height)):
            row = bytearray()
            for r, g, b, a in self.px[y]:
                row += bytes((round(b), round(g), round(r), round(a * 255)))
            rows.append(bytes(row))
        pixels = b"".join(rows)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
        header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
        return header + info + pixels


# --- shapes, in a unit box scaled by s ---

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r1, r2):
    return lambda x, y: r1 * r1 <= (x - cx) ** 2 + (y - cy) ** 2 <= r2 * r2


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def segment(x0, y0, x1, y1, half_width):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= half_width * half_width

    return inside


def shield(s):
    def inside(x, y):
        u, v = x / s, y / s
        d = abs(u - 0.5)
        if v < 0.06 or v > 0.97:
            return False
        return d < 0.44 if v < 0.55 else d < 0.44 * (0.97 - v) / 0.42

    return inside


def any_of(*shapes):
    return lambda x, y: any(f(x, y) for f in shapes)


def check(s, w):
    return any_of(segment(0.18 * s, 0.52 * s, 0.42 * s, 0.76 * s, w), segment(0.42 * s, 0.76 * s, 0.84 * s, 0.26 * s, w))


def cross(s, w):
    return any_of(segment(0.22 * s, 0.22 * s, 0.78 * s, 0.78 * s, w), segment(0.78 * s, 0.22 * s, 0.22 * s, 0.78 * s, w))


def badge(canvas, ox, colour):
    canvas.fill(shield(16), colour, ox, 0, 16, 16)
    canvas.fill(any_of(segment(5, 8.2, 7.2, 10.5, 0.9), segment(7.2, 10.5, 11, 5.2, 0.9)), WHITE, ox, 0, 16, 16)


def tray():
    c = Canvas(96, 16)
    badge(c, 0, GREEN)
    badge(c, 16, RED)
    badge(c, 32, GREY)
    c.fill(circle(8, 8, 7.2), RED, 48, 0, 16, 16)
    c.fill(circle(8, 8, 5.6), WHITE, 48, 0, 16, 16)
    c.fill(any_of(segment(8, 8, 8, 3.8, 0.7), segment(8, 8, 11, 9.5, 0.7)), RED, 48, 0, 16, 16)
    c.fill(rect(2, 5, 14, 14.5), ORANGE, 64, 0, 16, 16)
    c.fill(any_of(rect(1.5, 3, 14.5, 5.5)), (0xC0, 0x68, 0x10), 64, 0, 16, 16)
    c.fill(rect(6.5, 7, 9.5, 8.5), WHITE, 64, 0, 16, 16)
    c.fill(rect(1, 2, 15, 12), BLACK, 80, 0, 16, 16)
    c.fill(rect(2.2, 3.2, 13.8, 10.8), SCREEN, 80, 0, 16, 16)
    c.fill(any_of(rect(7, 12, 9, 13.5), rect(4.5, 13.5, 11.5, 15)), BLACK, 80, 0, 16, 16)
    return c


def glyph(shape_fn, colour):
    c = Canvas(32, 16)
    c.fill(shape_fn(16, 1.3), colour, 0, 0, 16, 16)
    c.greyed_copy(0, 16, 16)
    return c


def header_key():
    c = Canvas(48, 48)
    c.fill(circle(24, 24, 22), TEAL)
    c.fill(ring(24, 24, 20.5, 22), DARK_TEAL)
    # a key: bow ring and a blade with two bits
    c.fill(ring(17, 24, 4, 8), GOLD)
    c.fill(any_of(rect(24, 22, 39, 26), rect(32, 26, 35, 31), rect(37, 26, 39, 30)), GOLD)
    return c


def logo():
    c = Canvas(55, 55)
    c.fill(shield(55), TEAL)
    c.fill(any_of(segment(15, 28, 24, 37, 3.2), segment(24, 37, 41, 17, 3.2)), WHITE)
    return c


def icon_web():
    c = Canvas(16, 16)
    c.fill(circle(8, 8, 7.3), BLUE)
    c.fill(any_of(ring(8, 8, 6.2, 6.9), rect(1, 7.5, 15, 8.5), rect(7.5, 1, 8.5, 15),
                  lambda x, y: abs(((x - 8) / 3.2) ** 2 + ((y - 8) / 6.6) ** 2 - 1) < 0.18), WHITE)
    return c


def icon_mail():
    c = Canvas(16, 16)
    c.fill(rect(1, 3.5, 15, 12.5), (0xF4, 0xF4, 0xF0))
    c.fill(any_of(segment(1.2, 3.8, 8, 9, 0.6), segment(8, 9, 14.8, 3.8, 0.6),
                  lambda x, y: (1 <= x <= 15 and 3.5 <= y <= 12.5) and not (1.8 <= x <= 14.2 and 4.3 <= y <= 11.7)),
           BLUE)
    return c


def main(out):
    out = Path(out)
    out.mkdir(parents=True, exist_ok=True)
    pictures = {
        "tray.bmp": tray(),
        "glyph_ok.bmp": glyph(check, GREEN),
        "glyph_cancel.bmp": glyph(cross, RED),
        "header_key.bmp": header_key(),
        "logo.bmp": logo(),
        "icon_web.bmp": icon_web(),
        "icon_mail.bmp": icon_mail(),
    }
    for name, canvas in pictures.items():
        (out / name).write_bytes(canvas.bmp())


if __name__ == "__main__":
    main(sys.argv[1])
