#!/usr/bin/env python3
"""Draws the application icon: a teal shield with a white disk glyph, at 16, 32 and 48 pixels.

Writes a Windows .ico with 32-bit images. Usage: make_icon.py OUT.ico
"""
import struct
import sys

TEAL = (0x1F, 0x8A, 0x8C)
DARK = (0x12, 0x5E, 0x60)
WHITE = (0xFF, 0xFF, 0xFF)


def shield(u, v):
    """True when the unit-square point (u, v) lies inside the shield outline (v grows downwards)."""
    x = abs(u - 0.5)
    if v < 0.08 or v > 0.95:
        return False
    if v < 0.55:
        return x < 0.42
    # lower part narrows to a point
    return x < 0.42 * (0.95 - v) / 0.40


def glyph(u, v):
    """A disk platter: a ring with a hub, centred in the upper shield."""
    d2 = (u - 0.5) ** 2 + (v - 0.45) ** 2
    return 0.035 < d2 < 0.075 or d2 < 0.006


def pixel(size, px, py):
    samples = 4
    cover = 0
    colour = [0, 0, 0]
    for sy in range(samples):
        for sx in range(samples):
            u = (px + (sx + 0.5) / samples) / size
            v = (py + (sy + 0.5) / samples) / size
            if not shield(u, v):
                continue
            cover += 1
            edge = not shield(u + 0.06, v) or not shield(u - 0.06, v) or not shield(u, v + 0.06)
            c = WHITE if glyph(u, v) else (DARK if edge else TEAL)
            for i in range(3):
                colour[i] += c[i]
    if cover == 0:
        return (0, 0, 0, 0)
    return tuple(c // cover for c in colour) + (255 * cover // (samples * samples),)


def image(size):
    rows = []
    for py in reversed(range(size)):  # bottom-up
        row = b"".join(struct.pack("BBBB", b, g, r, a) for (r, g, b, a) in (pixel(size, px, py) for px in range(size)))
        rows.append(row)
    xor = b"".join(rows)
    mask_stride = ((size + 31) // 32) * 4
    and_mask = bytes(mask_stride * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main(out):
    sizes = (16, 32, 48)
    images = [image(s) for s in sizes]
    data = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(out, "wb") as f:
        f.write(data + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1])
