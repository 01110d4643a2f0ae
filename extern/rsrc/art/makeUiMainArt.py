#!/usr/bin/env python3
"""Draws the pictures of the main window: the program's icon, the status
bar's transfer icon and the four toolbar strips of the connect, search,
transfer and view toolbars (16 x 15 images side by side). Shapes and
writers come from makeUiListsArt.py. Run it from this folder to redraw the
committed files in ../icons."""
import math
import struct

from makeUiListsArt import (ACCENT, INK, PAPER, WARM, arrow, connections, history, in_polygon, raster,
                            segment_distance, statistics, stop, write_icon, write_toolbar)


def program(u, v):
    """A ring of three linked nodes: the program's mark."""
    nodes = [(0.5, 0.2), (0.2, 0.75), (0.8, 0.75)]
    for x, y in nodes:
        if math.hypot(u - x, v - y) < 0.16:
            return ACCENT
    for i in range(3):
        if segment_distance(u, v, nodes[i], nodes[(i + 1) % 3]) < 0.06:
            return INK
    return None


def plug(u, v):
    if 0.3 <= u <= 0.7 and 0.35 <= v <= 0.7:
        return ACCENT
    if (0.36 <= u <= 0.44 or 0.56 <= u <= 0.64) and 0.1 <= v <= 0.35:
        return INK
    return INK if 0.45 <= u <= 0.55 and 0.7 <= v <= 0.95 else None


def unplug(u, v):
    if segment_distance(u, v, (0.15, 0.85), (0.85, 0.15)) < 0.07:
        return WARM
    c = plug(u, v)
    return INK if c else None


def funnel(u, v):
    if in_polygon(u, v, [(0.1, 0.15), (0.9, 0.15), (0.58, 0.5), (0.58, 0.9), (0.42, 0.8), (0.42, 0.5)]):
        return INK
    return None


def clear_filter(u, v):
    if segment_distance(u, v, (0.55, 0.55), (0.92, 0.92)) < 0.07 or \
       segment_distance(u, v, (0.92, 0.55), (0.55, 0.92)) < 0.07:
        return WARM
    return funnel(u * 1.15, v * 1.15) if u < 0.75 or v < 0.5 else None


def clear_all(u, v):
    for top in (0.2, 0.45, 0.7):
        if 0.12 <= u <= 0.6 and top <= v <= top + 0.12:
            return INK
    if segment_distance(u, v, (0.65, 0.55), (0.92, 0.85)) < 0.07 or \
       segment_distance(u, v, (0.92, 0.55), (0.65, 0.85)) < 0.07:
        return WARM
    return None


def auto_clear_done(u, v):
    if segment_distance(u, v, (0.15, 0.55), (0.4, 0.8)) < 0.08 or \
       segment_distance(u, v, (0.4, 0.8), (0.88, 0.2)) < 0.08:
        return ACCENT
    return None


def auto_clear_failed(u, v):
    if segment_distance(u, v, (0.2, 0.2), (0.8, 0.8)) < 0.08 or \
       segment_distance(u, v, (0.8, 0.2), (0.2, 0.8)) < 0.08:
        return WARM
    return None


def retry(u, v):
    r = math.hypot(u - 0.5, v - 0.52)
    angle = math.atan2(v - 0.52, u - 0.5)
    if 0.26 <= r <= 0.38 and not (-1.9 < angle < -0.9):
        return ACCENT
    return ACCENT if in_polygon(u, v, [(0.5, 0.02), (0.72, 0.14), (0.5, 0.3)]) else None


def options(u, v):
    r = math.hypot(u - 0.5, v - 0.5)
    teeth = 0.42 if math.cos(8 * math.atan2(v - 0.5, u - 0.5)) > 0.2 else 0.34
    if r < 0.14:
        return PAPER
    return INK if r < teeth else None


def transfers(u, v):
    left = arrow(True)(u * 2, v) if u < 0.5 else None
    right = arrow(False)((u - 0.5) * 2, v) if u >= 0.5 else None
    return left or right


if __name__ == '__main__':
    write_icon('uiProgram.ico', program)
    write_icon('uiTransfers.ico', transfers)
    write_toolbar('uiConnectToolbar', [plug, unplug])
    write_toolbar('uiSearchToolbar', [clear_filter, funnel])
    write_toolbar('uiTransferToolbar', [clear_all, auto_clear_done, auto_clear_failed, connections, retry,
                                        arrow(True), stop])
    write_toolbar('uiViewToolbar', [options, connections, history, statistics, transfers])
