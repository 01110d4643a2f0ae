#!/usr/bin/env python3
"""Draws the module's pictures as 24-bit BMP files (standard library only).

    logo.bmp     230 x 310: the logo of the "Vesk Wave" preset on black; black
                 is the key colour when it is drawn, so the figure itself never
                 uses pure black
    spark.bmp    16 x 16 and glow.bmp 24 x 24: small sprites kept with the logo

Run it in this folder to draw them again.
"""
import math
import struct


def write_bmp(path, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    image = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(image), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + image)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def inside_polygon(px, py, points):
    inside = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


# The figure, in logo coordinates: a ring, a bold Z inside it and a row of
# level bars under it.
RING_CENTRE = (115.0, 118.0)
RING_OUTER, RING_INNER = 104.0, 90.0
ZED = [(58, 58), (172, 58), (172, 82), (92, 160), (172, 160), (172, 184),
       (58, 184), (58, 160), (138, 82), (58, 82)]
BARS = [(22, 36, 0.55), (46, 60, 0.8), (70, 84, 0.45), (94, 108, 1.0), (118, 132, 0.7),
        (142, 156, 0.9), (166, 180, 0.5), (190, 204, 0.65)]
BAR_BOTTOM, BAR_TALLEST = 298.0, 62.0


def figure(x, y):
    """The colour at a point of the figure, or None for the background."""
    dx, dy = x - RING_CENTRE[0], y - RING_CENTRE[1]
    radius = math.hypot(dx, dy)
    if RING_INNER <= radius <= RING_OUTER:
        turn = (math.atan2(dy, dx) + math.pi) / (2 * math.pi)
        return mix((40, 200, 255), (230, 60, 220), abs(2 * turn - 1))
    if inside_polygon(x, y, ZED):
        return mix((255, 214, 64), (255, 96, 32), (y - 58) / 126.0)
    for left, right, height in BARS:
        top = BAR_BOTTOM - BAR_TALLEST * height
        if left <= x <= right and top <= y <= BAR_BOTTOM:
            return mix((64, 240, 120), (24, 140, 90), (y - top) / max(1.0, BAR_BOTTOM - top))
    return None


def antialiased(shape, samples=4):
    def pixel(x, y):
        total = [0, 0, 0]
        for sy in range(samples):
            for sx in range(samples):
                colour = shape(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples)
                if colour:
                    for i in range(3):
                        total[i] += colour[i]
        return tuple(c // (samples * samples) for c in total)
    return pixel


def sprite(size, colour):
    centre = (size - 1) / 2.0

    def pixel(x, y):
        fall = max(0.0, 1.0 - math.hypot(x - centre, y - centre) / (size / 2.0))
        return tuple(int(c * fall) for c in colour)
    return pixel


if __name__ == "__main__":
    write_bmp("logo.bmp", 230, 310, antialiased(figure))
    write_bmp("spark.bmp", 16, 16, sprite(16, (255, 240, 200)))
    write_bmp("glow.bmp", 24, 24, sprite(24, (120, 200, 255)))
