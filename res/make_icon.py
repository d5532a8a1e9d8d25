#!/usr/bin/python3
"""Draws the program's icon, res/tavix.ico: a blue contact card with a person and three text lines.

Images: 64x52 (the window's own size), 48x48, 32x32 and 16x16, all 32 bits per pixel with alpha, stored as DIBs
so that every Windows version since XP reads them. Run it again after changing the drawing; the build only uses the
.ico it writes.
"""

import math
import os
import struct

SUPERSAMPLE = 4

BLUE = (0x1E, 0x6F, 0xD9)
BLUE_DARK = (0x15, 0x4E, 0xA0)
WHITE = (0xFF, 0xFF, 0xFF)
PALE = (0xCF, 0xE2, 0xFA)


def rounded_rect_inside(x, y, left, top, right, bottom, radius):
    """True when the point lies inside the rectangle with rounded corners."""
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def card_shapes(width, height):
    """The drawing in unit coordinates of a 64x52 card, scaled and centred into width x height.

    Returns a function that gives the colour (r, g, b, a) of a point in pixel coordinates, later shapes on top.
    """
    scale = min(width / 64.0, height / 52.0)
    ox = (width - 64.0 * scale) / 2.0
    oy = (height - 52.0 * scale) / 2.0

    def colour_at(px, py):
        x = (px - ox) / scale
        y = (py - oy) / scale
        colour = None
        # The card, with a darker rim so it stays visible on a blue or white taskbar.
        if rounded_rect_inside(x, y, 1, 1, 63, 51, 8):
            colour = BLUE_DARK
            if rounded_rect_inside(x, y, 3, 3, 61, 49, 6.5):
                colour = BLUE
        if colour is None:
            return None
        # The person: a head and the curve of the shoulders.
        if (x - 20) ** 2 + (y - 20) ** 2 <= 7.0 ** 2:
            return WHITE
        if y <= 41 and (x - 20) ** 2 / 13.0 ** 2 + (y - 41) ** 2 / 12.0 ** 2 <= 1.0:
            return WHITE
        # Three lines of text on the right; the first is the name, the others the numbers.
        for top, right, tint in ((15, 55, WHITE), (24.5, 52, PALE), (34, 48, PALE)):
            if rounded_rect_inside(x, y, 36, top, right, top + 4.5, 2.25):
                return tint
        return colour

    return colour_at


def render(width, height):
    """Rows of (b, g, r, a) pixels, bottom row first as a DIB wants them."""
    colour_at = card_shapes(width, height)
    rows = []
    step = 1.0 / SUPERSAMPLE
    for py in range(height):
        row = []
        for px in range(width):
            r = g = b = coverage = 0.0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    c = colour_at(px + (sx + 0.5) * step, py + (sy + 0.5) * step)
                    if c is not None:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        coverage += 1
            if coverage:
                alpha = coverage / (SUPERSAMPLE * SUPERSAMPLE)
                row.append((round(b / coverage), round(g / coverage), round(r / coverage), round(alpha * 255)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    rows.reverse()
    return rows


def dib(width, height):
    """A BITMAPINFOHEADER image of 32 bits with its AND mask, as an icon directory entry holds it."""
    rows = render(width, height)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(p) for row in rows for p in row)
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in rows:
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def write_icon(path, sizes):
    images = [dib(w, h) for w, h in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for (w, h), data in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(directory + entries + b"".join(images))


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_icon(os.path.join(here, "tavix.ico"), [(64, 52), (48, 48), (32, 32), (16, 16)])
