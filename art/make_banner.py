#!/usr/bin/env python3
"""Draws the main window's 600 x 61 banner and writes it as a JPEG.

Usage: make_banner.py OUT.jpg

A teal-to-white gradient with a white shield mark on the left; the product name is set in white beside it
when the CJK font is there (fonts-wqy-microhei), and left out otherwise. Python draws the picture as a
PPM; ImageMagick's convert sets the text and encodes the JPEG.
"""
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

WIDTH, HEIGHT = 600, 61
TEAL = (0x1F, 0x8A, 0x8C)
DARK_TEAL = (0x12, 0x5E, 0x60)
WHITE = (0xFF, 0xFF, 0xFF)
LIGHT_GREY = (0xEA, 0xEA, 0xEA)
# The gradient stays teal under the name, then fades to white on the right.
FADE_START, FADE_END = 0.45, 0.95
SHIELD_BOX = (14, 6, 50, 50)  # left, top, width, height
FONT = Path("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc")
TITLE = "Veltrane影子系统"
SUBTITLE = "多分区版"
SUPERSAMPLE = 4


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def smoothstep(t):
    t = max(0.0, min(1.0, t))
    return t * t * (3 - 2 * t)


def background():
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            colour = mix(TEAL, WHITE, smoothstep((x / (WIDTH - 1) - FADE_START) / (FADE_END - FADE_START)))
            # a slightly deeper lower edge gives the band some depth
            colour = mix(colour, DARK_TEAL, 0.25 * max(0.0, (y - HEIGHT * 0.6) / (HEIGHT * 0.4)) * (1 - x / WIDTH))
            row.append(colour)
        rows.append(row)
    rows[-1] = [LIGHT_GREY] * WIDTH
    return rows


def shield(u, v):
    """Unit-box shield: straight top half, sides curving into a point."""
    if v < 0.02 or v > 0.98:
        return False
    d = abs(u - 0.5)
    return d < 0.46 if v < 0.5 else d < 0.46 * (1 - ((v - 0.5) / 0.48) ** 2) ** 0.5


def check(u, v, half_width=0.075):
    def near(x0, y0, x1, y1):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((u - x0) * dx + (v - y0) * dy) / (dx * dx + dy * dy)))
        px, py = x0 + t * dx - u, y0 + t * dy - v
        return px * px + py * py <= half_width * half_width

    return near(0.26, 0.48, 0.44, 0.66) or near(0.44, 0.66, 0.76, 0.28)


def draw_mark(rows):
    left, top, w, h = SHIELD_BOX
    for y in range(top, top + h):
        for x in range(left, left + w):
            white = teal = 0
            for i in range(SUPERSAMPLE):
                for j in range(SUPERSAMPLE):
                    u = (x - left + (i + 0.5) / SUPERSAMPLE) / w
                    v = (y - top + (j + 0.5) / SUPERSAMPLE) / h
                    if shield(u, v):
                        if check(u, v):
                            teal += 1
                        else:
                            white += 1
            n = SUPERSAMPLE * SUPERSAMPLE
            colour = rows[y][x]
            colour = mix(colour, WHITE, (white + teal) / n)
            rows[y][x] = mix(colour, TEAL, teal / n)


def ppm(rows):
    body = bytes(c for row in rows for pixel in row for c in pixel)
    return b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT) + body


def text_arguments():
    if not FONT.exists():
        print(f"make_banner.py: {FONT} missing, banner drawn without its name", file=sys.stderr)
        return []
    return ["-font", str(FONT), "-fill", "white", "-pointsize", "24", "-annotate", "+76+33", TITLE,
            "-fill", "#D8EFEF", "-pointsize", "13", "-annotate", "+78+51", SUBTITLE]


def main(out):
    convert = shutil.which("convert")
    if not convert:
        sys.exit("make_banner.py: ImageMagick's convert is missing (scripts/setup.sh installs it)")
    rows = background()
    draw_mark(rows)
    out = Path(out)
    out.parent.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        source = Path(work) / "banner.ppm"
        source.write_bytes(ppm(rows))
        partial = out.with_suffix(".tmp.jpg")
        subprocess.run([convert, str(source), *text_arguments(), "-strip", "-quality", "92",
                        "-sampling-factor", "2x2", "-interlace", "none", str(partial)], check=True)
        os.replace(partial, out)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
