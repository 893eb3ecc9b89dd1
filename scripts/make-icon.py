#!/usr/bin/env python3
"""Draws the application icon (a boot disk under a forked arrow: one disk, a choice of systems) and
writes it as src/app/ostrevo.ico with a 16x16 and a 32x32 image of 16 colours, standard library only.

The shapes are defined once on a 16-unit grid and rasterised at each size, so both images agree.
Usage: python3 scripts/make-icon.py [OUTPUT]
"""
import os
import struct
import sys

# The classic 16-colour palette, so the images look the same on a 16-colour display.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, SILVER, GRAY, LIME, BLUE, WHITE, GREEN = 0, 4, 7, 8, 10, 12, 15, 2
TRANSPARENT = None


def in_triangle(px, py, a, b, c):
    def side(p, q, r):
        return (p[0] - r[0]) * (q[1] - r[1]) - (q[0] - r[0]) * (p[1] - r[1])
    p = (px, py)
    d1, d2, d3 = side(p, a, b), side(p, b, c), side(p, c, a)
    has_neg = d1 < 0 or d2 < 0 or d3 < 0
    has_pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (has_neg and has_pos)


def in_rect(px, py, x0, y0, x1, y1):
    return x0 <= px < x1 and y0 <= py < y1


def in_arrow(u, v):
    return (in_triangle(u, v, (4, -1), (0.5, 4), (7.5, 4))
            or in_triangle(u, v, (12, -1), (8.5, 4), (15.5, 4))
            or in_rect(u, v, 3, 3.5, 5, 7)
            or in_rect(u, v, 11, 3.5, 13, 7)
            or in_rect(u, v, 3, 5.5, 13, 7)
            or in_rect(u, v, 7, 6, 9, 9.5))


def in_drive(u, v):
    return in_rect(u, v, 0.5, 9, 15.5, 15.5)


def render(size):
    scale = size / 16.0

    def sample(shape, x, y):
        if not (0 <= x < size and 0 <= y < size):
            return False
        return shape((x + 0.5) / scale, (y + 0.5) / scale)

    def outlined(shape, x, y):
        # An edge pixel of the shape: one of its four neighbours lies outside it.
        return any(not sample(shape, x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))

    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            u, v = (x + 0.5) / scale, (y + 0.5) / scale
            colour = TRANSPARENT
            if sample(in_arrow, x, y):
                # At 16 pixels an outline would swallow the arrowheads.
                colour = NAVY if size > 16 and outlined(in_arrow, x, y) else BLUE
            if sample(in_drive, x, y):
                if outlined(in_drive, x, y):
                    colour = BLACK
                elif not sample(in_drive, x, y - 2):
                    colour = WHITE  # the first row inside the outline: a highlight
                elif in_rect(u, v, 2.5, 11.75, 9, 12.75):
                    colour = GRAY
                elif in_rect(u, v, 11.5, 11.5, 13.5, 13):
                    colour = LIME if size <= 16 or in_rect(u, v, 11.75, 11.75, 13.25, 12.75) else GREEN
                else:
                    colour = SILVER
            row.append(colour)
        pixels.append(row)
    return pixels


def padded(row_bytes):
    return row_bytes + b"\0" * ((4 - len(row_bytes) % 4) % 4)


def dib(pixels):
    """A 4-bit DIB as icons store it: header (double height), palette, colour rows, then mask rows."""
    size = len(pixels)
    colour_rows, mask_rows = [], []
    for row in reversed(pixels):  # bottom-up
        nibbles = [c if c is not TRANSPARENT else 0 for c in row]
        colour_rows.append(padded(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))))
        bits = [1 if c is TRANSPARENT else 0 for c in row]
        mask = bytes(sum(bits[i + j] << (7 - j) for j in range(8)) for i in range(0, size, 8))
        mask_rows.append(padded(mask))
    image = b"".join(colour_rows) + b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(image), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + image


def ico(images):
    count = len(images)
    out = struct.pack("<HHH", 0, 1, count)
    offset = 6 + 16 * count
    blobs = []
    for pixels in images:
        blob = dib(pixels)
        size = len(pixels)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b"".join(blobs)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "app", "ostrevo.ico")
    with open(target, "wb") as f:
        f.write(ico([render(16), render(32)]))


if __name__ == "__main__":
    main()
