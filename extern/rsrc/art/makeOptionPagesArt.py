#!/usr/bin/env python3
"""Draws the pictures of the option pages: the page icons, the folder tree's
icons and the tree's state images (bitmap of four 16 x 16 images: none, not
shared, shared, holds a shared folder). Run it from this folder to redraw the
committed files in ../icons."""
import math
import struct

from makeUiListsArt import ACCENT, INK, PAPER, WARM, connections, in_polygon, magnifier, raster, \
    segment_distance, write_icon

FOLDER = (0xE8, 0xB8, 0x4A)
MASK = (0xFF, 0x00, 0xFF)  # the state bitmap's transparent colour (its top-left pixel)


def folder(u, v):
    tab = 0.08 <= u <= 0.45 and 0.18 <= v <= 0.32
    body = 0.08 <= u <= 0.92 and 0.28 <= v <= 0.85
    if not (tab or body):
        return None
    edge = u < 0.14 or u > 0.86 or v > 0.79 or (body and v < 0.34) or (tab and v < 0.24)
    return INK if edge else FOLDER


def shared_folder(u, v):
    if math.hypot(u - 0.68, v - 0.68) < 0.22:
        return ACCENT if math.hypot(u - 0.68, v - 0.68) < 0.16 else PAPER
    return folder(u, v)


def funnel(u, v):
    if in_polygon(u, v, [(0.08, 0.12), (0.92, 0.12), (0.58, 0.52), (0.58, 0.9), (0.42, 0.8), (0.42, 0.52)]):
        return INK if v < 0.2 else WARM
    return None


def globe(u, v):
    d = math.hypot(u - 0.5, v - 0.5)
    if d > 0.42:
        return None
    if d > 0.36 or abs(u - 0.5) < 0.04 or abs(v - 0.5) < 0.04:
        return INK
    if abs(math.hypot((u - 0.5) * 2.4, v - 0.5) - 0.42) < 0.05:
        return INK
    return ACCENT


def transfers(u, v):
    if segment_distance(u, v, (0.32, 0.85), (0.32, 0.2)) < 0.08 or \
            in_polygon(u, v, [(0.1, 0.35), (0.32, 0.08), (0.54, 0.35)]):
        return ACCENT
    if segment_distance(u, v, (0.68, 0.15), (0.68, 0.8)) < 0.08 or \
            in_polygon(u, v, [(0.46, 0.65), (0.68, 0.92), (0.9, 0.65)]):
        return WARM
    return None


def state_box(mark):
    def shape(u, v):
        if not (0.15 <= u <= 0.85 and 0.15 <= v <= 0.85):
            return None
        if u < 0.22 or u > 0.78 or v < 0.22 or v > 0.78:
            return INK
        if mark == 'check' and (segment_distance(u, v, (0.3, 0.5), (0.45, 0.68)) < 0.07 or
                                segment_distance(u, v, (0.45, 0.68), (0.72, 0.32)) < 0.07):
            return ACCENT
        if mark == 'part' and 0.36 <= u <= 0.64 and 0.36 <= v <= 0.64:
            return ACCENT
        return PAPER
    return shape


def write_states(name, shapes):
    """16 x 16 images side by side, 24-bit, MASK where nothing is drawn."""
    width, height = 16 * len(shapes), 16
    pictures = [raster(s, 16, 16) if s else [[(0, 0, 0, 0)] * 16] * 16 for s in shapes]
    stride = (width * 3 + 3) & ~3
    pixels = b''
    for y in reversed(range(height)):
        line = bytearray()
        for p in pictures:
            for r, g, b, a in p[y]:
                line += bytes((b, g, r) if a else MASK[::-1])
        pixels += bytes(line) + bytes(stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open('../icons/' + name, 'wb') as f:
        f.write(header + info + pixels)


if __name__ == '__main__':
    write_icon('optFolder.ico', folder)
    write_icon('optSharedFolder.ico', shared_folder)
    write_icon('optSearch.ico', magnifier)
    write_icon('optFilters.ico', funnel)
    write_icon('optConnections.ico', connections)
    write_icon('optNetwork.ico', globe)
    write_icon('optTransfers.ico', transfers)
    write_states('optShareStates.bmp', [None, state_box('none'), state_box('check'), state_box('part')])
