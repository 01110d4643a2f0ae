#!/usr/bin/env python3
"""Draws the pictures of the options dialog and the information dialogs: the
dialog's icon, the General page's icon and the credits picture (75 x 250,
24-bit). Run it from this folder to redraw the committed files in ../icons.
Importing the list pictures' script redraws those too; they come out the
same."""
import math
import struct

import makeUiListsArt as art


def options(u, v):
    r = math.hypot(u - 0.5, v - 0.5)
    angle = math.atan2(v - 0.5, u - 0.5)
    tooth = 0.42 if int((angle + math.pi) / (math.pi / 4)) % 2 == 0 else 0.34
    if r <= tooth and r >= 0.14:
        return art.INK
    return None


def general(u, v):
    if 0.12 <= u <= 0.88 and 0.12 <= v <= 0.88:
        edge = u < 0.2 or u > 0.8 or v < 0.2 or v > 0.8
        if edge:
            return art.INK
        for top in (0.3, 0.47, 0.64):
            if top <= v <= top + 0.08 and 0.3 <= u <= 0.7:
                return art.ACCENT
        return art.PAPER
    return None


def credits_picture(u, v):
    """A tall banner: a band of colour with the program's ring near the top."""
    r = math.hypot((u - 0.5) * 75, (v - 0.16) * 250)  # in pixels
    if 22 <= r <= 32:
        return art.INK
    if r < 22:
        return art.WARM
    shade = int(0xF0 - 0x50 * v)
    return (0x2E, 0x8B * shade // 0xF0, 0x57 + shade // 4)


def write_picture(name, shape, width, height):
    pixels = art.raster(shape, width, height)
    stride = (width * 3 + 3) & ~3
    data = b''
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b, a in row:
            line += bytes((b, g, r) if a else art.FACE[::-1])
        data += bytes(line) + bytes(stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open('../icons/' + name, 'wb') as f:
        f.write(header + info + data)


art.write_icon('uiOptions.ico', options)
art.write_icon('uiGeneral.ico', general)
write_picture('uiCredits.bmp', credits_picture, 75, 250)
