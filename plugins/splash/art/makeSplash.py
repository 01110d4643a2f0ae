#!/usr/bin/env python3
"""Draws the splash picture (splash.bmp, 400 x 293, 256 colours) from
nothing but this script: a night-blue sky, a mesh of peers and the
product name in a blocky pixel font. Run it from this folder to redraw
the committed file; the build only reads the result."""
import math
import random
import struct

WIDTH, HEIGHT = 400, 293

# Palette: 0-127 the background ramp, then fixed colours.
TOP, BOTTOM = (0x0B, 0x1A, 0x33), (0x13, 0x4E, 0x6F)
palette = []
for i in range(128):
    t = i / 127
    palette.append(tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM)))
LINK, NODE, RING, SELF, TEXT, ACCENT, SHADOW, DIM = range(128, 136)
palette += [(0x3F, 0x8F, 0xB5), (0x9F, 0xD8, 0xF0), (0xE8, 0xF6, 0xFF), (0xFF, 0xB3, 0x47),
            (0xFF, 0xFF, 0xFF), (0xFF, 0xB3, 0x47), (0x06, 0x10, 0x20), (0x8A, 0xA8, 0xC0)]
palette += [(0, 0, 0)] * (256 - len(palette))

pixels = [[round(y * 127 / (HEIGHT - 1)) for _ in range(WIDTH)] for y in range(HEIGHT)]


def put(x, y, colour):
    if 0 <= x < WIDTH and 0 <= y < HEIGHT:
        pixels[y][x] = colour


def line(x0, y0, x1, y1, colour):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for s in range(steps + 1):
        put(round(x0 + (x1 - x0) * s / steps), round(y0 + (y1 - y0) * s / steps), colour)


def disc(cx, cy, r, colour):
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                put(x, y, colour)


# The mesh: peers scattered over the right half, each linked to its
# nearest neighbours; one of them is us.
rng = random.Random(28)
peers = []
while len(peers) < 16:
    x, y = rng.randint(205, 385), rng.randint(18, 180)
    if all((x - px) ** 2 + (y - py) ** 2 >= 36 ** 2 for px, py in peers):
        peers.append((x, y))
for i, (x, y) in enumerate(peers):
    near = sorted(range(len(peers)), key=lambda j: (peers[j][0] - x) ** 2 + (peers[j][1] - y) ** 2)
    for j in near[1:4]:
        line(x, y, peers[j][0], peers[j][1], LINK)
for i, (x, y) in enumerate(peers):
    disc(x, y, 5 if i else 7, RING)
    disc(x, y, 3 if i else 5, NODE if i else SELF)

# A 5 x 7 pixel font, only the letters the picture uses.
GLYPHS = {
    'P': ["1111.", "1...1", "1...1", "1111.", "1....", "1....", "1...."],
    'G': [".111.", "1...1", "1....", "1.111", "1...1", "1...1", ".111."],
    'a': [".....", ".....", ".111.", "....1", ".1111", "1...1", ".1111"],
    'e': [".....", ".....", ".111.", "1...1", "11111", "1....", ".111."],
    'f': ["..11.", ".1..1", ".1...", "111..", ".1...", ".1...", ".1..."],
    'g': [".....", ".1111", "1...1", "1...1", ".1111", "....1", ".111."],
    'h': ["1....", "1....", "1.11.", "11..1", "1...1", "1...1", "1...1"],
    'i': ["..1..", ".....", ".11..", "..1..", "..1..", "..1..", ".111."],
    'l': [".11..", "..1..", "..1..", "..1..", "..1..", "..1..", ".111."],
    'n': [".....", ".....", "1.11.", "11..1", "1...1", "1...1", "1...1"],
    'o': [".....", ".....", ".111.", "1...1", "1...1", "1...1", ".111."],
    'r': [".....", ".....", "1.11.", "11..1", "1....", "1....", "1...."],
    's': [".....", ".....", ".111.", "1....", ".111.", "....1", "1111."],
    't': [".1...", ".1...", "111..", ".1...", ".1...", ".1..1", "..11."],
    'u': [".....", ".....", "1...1", "1...1", "1...1", "1..11", ".11.1"],
    '.': [".....", ".....", ".....", ".....", ".....", ".11..", ".11.."],
    ' ': ["....."] * 7,
}


def text(x, y, words, scale, colour, shadow=True):
    for ch in words:
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == '1':
                    for dy in range(scale):
                        for dx in range(scale):
                            if shadow:
                                put(x + col * scale + dx + 2, y + row * scale + dy + 2, SHADOW)
                            put(x + col * scale + dx, y + row * scale + dy, colour)
        x += 6 * scale


text(20, 200, "Pelloran", 6, TEXT)
line(20, 252, 300, 252, ACCENT)
text(22, 262, "Gnutella file sharing", 2, DIM, shadow=False)
text(300, 272, "starting...", 1, DIM, shadow=False)

# BMP: file header, info header, palette, rows bottom-up (400 is a
# multiple of 4, so no padding).
image = bytes(p for row in reversed(pixels) for p in row)
offset = 14 + 40 + 256 * 4
header = struct.pack('<2sIHHI', b'BM', offset + len(image), 0, 0, offset)
info = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 8, 0, len(image), 2835, 2835, 256, 0)
colours = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
with open('splash.bmp', 'wb') as out:
    out.write(header + info + colours + image)
