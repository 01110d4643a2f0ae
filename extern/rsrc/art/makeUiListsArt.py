#!/usr/bin/env python3
"""Draws the pictures of the user interface's lists and windows: the tab and
row icons (16 x 16 and 32 x 32, 32-bit with alpha) and the toolbar
bitmaps (16 x 15 images side by side, 24-bit, with a 1-bit mask where a
toolbar has one). Run it from this folder to
redraw the committed files in ../icons; other art scripts import its drawing."""
import math
import struct

INK = (0x25, 0x3A, 0x5E)
ACCENT = (0x2E, 0x8B, 0x57)
WARM = (0xD9, 0x6C, 0x1E)
PAPER = (0xFA, 0xFA, 0xF5)
FACE = (0xF0, 0xF0, 0xF0)  # toolbar background, the buttons' face


def segment_distance(x, y, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy or 1)))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def in_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


# Each shape answers the colour at a point (u, v) in [0, 1] x [0, 1], or None.
def statistics(u, v):
    for left, top, colour in ((0.12, 0.55, INK), (0.40, 0.25, ACCENT), (0.68, 0.40, WARM)):
        if left <= u <= left + 0.22 and top <= v <= 0.9:
            return colour
    return INK if 0.86 <= v <= 0.93 and 0.05 <= u <= 0.95 else None


def file_page(u, v):
    if in_polygon(u, v, [(0.2, 0.05), (0.62, 0.05), (0.82, 0.25), (0.82, 0.95), (0.2, 0.95)]):
        edge = u < 0.27 or u > 0.75 or v < 0.12 or v > 0.88 or segment_distance(u, v, (0.62, 0.05), (0.82, 0.25)) < 0.07
        return INK if edge else PAPER
    return None


def history(u, v):
    r = math.hypot(u - 0.5, v - 0.5)
    if r > 0.45:
        return None
    if r > 0.37:
        return INK
    if segment_distance(u, v, (0.5, 0.5), (0.5, 0.2)) < 0.06 or segment_distance(u, v, (0.5, 0.5), (0.72, 0.6)) < 0.06:
        return INK
    return PAPER


def host_cache(u, v):
    for top in (0.1, 0.38, 0.66):
        if 0.15 <= u <= 0.85 and top <= v <= top + 0.24:
            return ACCENT if v < top + 0.06 else INK
    return None


def connections(u, v):
    for cx, cy in ((0.25, 0.3), (0.75, 0.7)):
        if math.hypot(u - cx, v - cy) < 0.18:
            return ACCENT
    return INK if segment_distance(u, v, (0.25, 0.3), (0.75, 0.7)) < 0.07 else None


def arrow(down):
    def shape(u, v):
        w = v if down else 1 - v
        if 0.38 <= u <= 0.62 and 0.05 <= w <= 0.55:
            return ACCENT if down else WARM
        if in_polygon(u, w, [(0.12, 0.5), (0.88, 0.5), (0.5, 0.92)]):
            return ACCENT if down else WARM
        return None
    return shape


def magnifier(u, v):
    r = math.hypot(u - 0.42, v - 0.42)
    if 0.22 <= r <= 0.33:
        return INK
    if r < 0.22:
        return (0xCF, 0xE3, 0xF5)
    return INK if segment_distance(u, v, (0.63, 0.63), (0.9, 0.9)) < 0.09 else None


def note(u, v):
    if math.hypot((u - 0.35) * 1.2, v - 0.78) < 0.15 or math.hypot((u - 0.78) * 1.2, v - 0.68) < 0.15:
        return INK
    if 0.43 <= u <= 0.5 and 0.18 <= v <= 0.78 or 0.86 <= u <= 0.93 and 0.1 <= v <= 0.68:
        return INK
    return WARM if segment_distance(u, v, (0.47, 0.2), (0.9, 0.12)) < 0.07 else None


def player_mode(u, v):
    if 0.1 <= u <= 0.9 and 0.15 <= v <= 0.8:
        return INK if u < 0.17 or u > 0.83 or v < 0.22 or v > 0.73 else (0xCF, 0xE3, 0xF5)
    return INK if 0.35 <= u <= 0.65 and 0.8 < v <= 0.9 else None


def pause(u, v):
    return INK if 0.15 <= v <= 0.85 and (0.22 <= u <= 0.42 or 0.58 <= u <= 0.78) else None


def play(u, v):
    return ACCENT if in_polygon(u, v, [(0.25, 0.12), (0.85, 0.5), (0.25, 0.88)]) else None


def video(u, v):
    if 0.08 <= u <= 0.92 and 0.2 <= v <= 0.8:
        hole = (0.26 <= v <= 0.32 or 0.68 <= v <= 0.74) and int(u * 8) % 2 == 0
        return PAPER if hole else INK
    return None


def previous(u, v):
    if 0.15 <= u <= 0.27 and 0.15 <= v <= 0.85:
        return INK
    return INK if in_polygon(u, v, [(0.85, 0.15), (0.3, 0.5), (0.85, 0.85)]) else None


def next_track(u, v):
    return previous(1 - u, v)


def stop(u, v):
    return WARM if 0.2 <= u <= 0.8 and 0.2 <= v <= 0.8 else None


def raster(shape, width, height):
    """Rows top-down of (r, g, b, a), sampled 4 x 4 per pixel."""
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            hits = {}
            for sy in range(4):
                for sx in range(4):
                    c = shape((x + (sx + 0.5) / 4) / width, (y + (sy + 0.5) / 4) / height)
                    if c:
                        hits[c] = hits.get(c, 0) + 1
            if not hits:
                row.append((0, 0, 0, 0))
                continue
            colour, count = max(hits.items(), key=lambda kv: kv[1])
            row.append(colour + (255 if sum(hits.values()) >= 6 else 0,))
        rows.append(row)
    return rows


def icon_image(shape, size):
    rows = raster(shape, size, size)
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return info + xor + mask


def write_icon(name, shape):
    sizes = [32, 16]
    images = [icon_image(shape, s) for s in sizes]
    offset = 6 + 16 * len(sizes)
    out = struct.pack('<HHH', 0, 1, len(sizes))
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open('../icons/' + name, 'wb') as f:
        f.write(out + b''.join(images))


def write_strip(name, shapes):
    """One 16 x 15 image per shape, left to right, on the buttons' face."""
    width, height = 16 * len(shapes), 15
    pictures = [raster(s, 16, 15) for s in shapes]
    stride = (width * 3 + 3) & ~3
    pixels = b''
    for y in reversed(range(height)):
        line = bytearray()
        for p in pictures:
            for r, g, b, a in p[y]:
                line += bytes((b, g, r) if a else FACE[::-1])
        pixels += bytes(line) + bytes(stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open('../icons/' + name, 'wb') as f:
        f.write(header + info + pixels)


def write_mask(name, shapes):
    """The strip's mask, 1 bit per pixel: set where the button's face shows
    through, clear under the picture."""
    width, height = 16 * len(shapes), 15
    pictures = [raster(s, 16, 15) for s in shapes]
    stride = ((width + 31) // 32) * 4
    pixels = b''
    for y in reversed(range(height)):
        bits = bytearray(stride)
        x = 0
        for p in pictures:
            for _, _, _, a in p[y]:
                if not a:
                    bits[x // 8] |= 0x80 >> (x % 8)
                x += 1
        pixels += bytes(bits)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 1, 0, len(pixels), 2835, 2835, 2, 2)
    with open('../icons/' + name, 'wb') as f:
        f.write(header + info + palette + pixels)


def write_toolbar(name, shapes):
    """The picture strip and its mask, as the toolbars load them."""
    write_strip(name + '.bmp', shapes)
    write_mask(name + 'Mask.bmp', shapes)


if __name__ == '__main__':
    write_icon('uiStatistics.ico', statistics)
    write_icon('uiFile.ico', file_page)
    write_icon('uiHistory.ico', history)
    write_icon('uiHostCache.ico', host_cache)
    write_icon('uiConnections.ico', connections)
    write_icon('uiDownloads.ico', arrow(True))
    write_icon('uiUploads.ico', arrow(False))
    write_icon('uiQuery.ico', magnifier)
    write_icon('uiPlaylist.ico', note)
    # Audio toolbar: mode, pause, play, video, previous, next, stop (the stop
    # button's picture is image 6; playing shows image 1, stopped image 2).
    write_toolbar('uiAudioToolbar', [player_mode, pause, play, video, previous, next_track, stop])
    write_strip('uiSearchBar.bmp', [magnifier])
