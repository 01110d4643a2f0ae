#!/usr/bin/env python3
"""Draws the reset tool's icon (tessavar.ico: 32 x 32 and 16 x 16, 32-bit
with alpha): a circular arrow, the sign of starting over, on a night-blue
tile. Run it from this folder to redraw the committed file."""
import math
import struct

TILE, ARROW = (0x13, 0x4E, 0x6F), (0xFF, 0xB3, 0x47)


def in_head(x, y, c, radius, size):
    """Inside the triangle that ends the ring at 60 degrees and points
    along it, into the gap."""
    t = math.radians(60)
    px, py = c + radius * math.cos(t), c - radius * math.sin(t)
    along, across = (-math.sin(t), -math.cos(t)), (math.cos(t), -math.sin(t))
    length, half = size * 0.26, size * 0.22
    corners = [(px + along[0] * length, py + along[1] * length),
               (px + across[0] * half, py + across[1] * half),
               (px - across[0] * half, py - across[1] * half)]

    def side(a, b):
        return (b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0])

    s1, s2, s3 = side(corners[0], corners[1]), side(corners[1], corners[2]), side(corners[2], corners[0])
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def draw(size):
    """Rows top-down of (r, g, b, a)."""
    c = (size - 1) / 2
    outer, inner = size * 0.40, size * 0.24
    corner = size * 0.18
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            # Rounded tile.
            dx = max(corner - x, 0, x - (size - 1 - corner))
            dy = max(corner - y, 0, y - (size - 1 - corner))
            if dx * dx + dy * dy > corner * corner:
                row.append((0, 0, 0, 0))
                continue
            r = math.hypot(x - c, y - c)
            angle = math.degrees(math.atan2(c - y, x - c)) % 360
            on_ring = inner <= r <= outer and not (60 <= angle <= 110)
            head = in_head(x, y, c, (inner + outer) / 2, size)
            row.append(ARROW + (255,) if on_ring or head else TILE + (255,))
        rows.append(row)
    return rows


def entry_image(size):
    rows = draw(size)
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return info + xor + mask


sizes = [32, 16]
images = [entry_image(s) for s in sizes]
offset = 6 + 16 * len(sizes)
out = struct.pack('<HHH', 0, 1, len(sizes))
for s, img in zip(sizes, images):
    out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(img), offset)
    offset += len(img)
with open('tessavar.ico', 'wb') as f:
    f.write(out + b''.join(images))
