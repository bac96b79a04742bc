#!/usr/bin/env python3
"""Draws the About window's logo, bitmap 101: a glowing carved gourd lantern
on a dark ground, 110 by 83 pixels, written as a 24-bit Windows BMP.

    tools/make_about_logo.py [OUTPUT.bmp]   (default: resources/images/about_logo.bmp)

The picture is computed pixel by pixel from fixed shapes and a fixed-seed
noise table, so running it again gives the same bytes.
"""

import math
import os
import random
import sys

from bmp_writer import bitmap_bytes

WIDTH, HEIGHT = 110, 83
SEED = 101

NIGHT_TOP = (10, 12, 30)
NIGHT_BOTTOM = (26, 20, 34)
GROUND = (34, 26, 20)
GLOW = (255, 150, 40)
SKIN_LIGHT = (246, 140, 30)
SKIN_DARK = (150, 62, 12)
FLAME_CORE = (255, 246, 170)
FLAME_EDGE = (255, 170, 30)
STALK = (86, 104, 40)
STALK_DARK = (48, 60, 22)

BODY_CENTRE = (55.0, 50.0)
BODY_RADII = (33.0, 24.0)
GROUND_LINE = 70


def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def inside_triangle(p, a, b, c):
    def side(p1, p2, p3):
        return (p1[0] - p3[0]) * (p2[1] - p3[1]) - (p2[0] - p3[0]) * (p1[1] - p3[1])
    d1, d2, d3 = side(p, a, b), side(p, b, c), side(p, c, a)
    negative = d1 < 0 or d2 < 0 or d3 < 0
    positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (negative and positive)


def body_coordinates(x, y):
    """Position relative to the body ellipse: (u, v) with u*u + v*v < 1 inside."""
    return (x - BODY_CENTRE[0]) / BODY_RADII[0], (y - BODY_CENTRE[1]) / BODY_RADII[1]


def in_carving(x, y):
    """Eyes, nose and a jagged grin, cut through the skin."""
    left_eye = inside_triangle((x, y), (36, 46), (48, 46), (43, 36))
    right_eye = inside_triangle((x, y), (62, 46), (74, 46), (67, 36))
    nose = inside_triangle((x, y), (51, 53), (59, 53), (55, 47))
    in_mouth_band = 31 <= x <= 79 and 56 <= y <= 66
    if not in_mouth_band:
        return left_eye or right_eye or nose
    # The grin curves: its top edge follows a shallow arc with teeth cut into it.
    u = (x - 55) / 24.0
    top = 57 + 4 * u * u
    bottom = 62 + 3.5 * (1 - u * u)
    tooth = (int(x) - 31) % 12 < 4 and abs(u) < 0.8
    if tooth:
        top += 3
    return top <= y <= bottom


def in_stalk(x, y):
    lean = (28 - y) * 0.35
    return 18 <= y <= 29 and abs(x - (55 + lean)) <= 3.2


def background(x, y, noise):
    if y >= GROUND_LINE:
        colour = mix(GROUND, (20, 16, 14), (y - GROUND_LINE) / (HEIGHT - GROUND_LINE))
    else:
        colour = mix(NIGHT_TOP, NIGHT_BOTTOM, y / GROUND_LINE)
    # Warm light spilled by the lantern: stronger on the ground below it.
    dx, dy = (x - BODY_CENTRE[0]) / 52.0, (y - BODY_CENTRE[1]) / 38.0
    glow = math.exp(-3.0 * (dx * dx + dy * dy))
    if y >= GROUND_LINE:
        glow *= 1.3
    colour = mix(colour, GLOW, 0.55 * glow)
    return tuple(c + noise * 6 for c in colour)


def skin(x, y, u, v, noise):
    # Ribs: the skin darkens where the lobes meet, seen as curved bands.
    across = math.asin(max(-1.0, min(1.0, u / math.sqrt(max(1e-6, 1 - v * v)))))
    rib = abs(math.cos(across * 3.5)) ** 0.6
    shade = 0.15 + 0.75 * rib
    # Light from the upper left, a darker rim towards the edge.
    rim = u * u + v * v
    shade *= 1.0 - 0.45 * rim
    shade += 0.12 * (-u - v) * 0.5
    colour = mix(SKIN_DARK, SKIN_LIGHT, shade)
    return tuple(c + noise * 8 for c in colour)


def flame(x, y):
    # The carved holes show the light inside: brightest near the body's centre.
    dx, dy = (x - BODY_CENTRE[0]) / 26.0, (y - BODY_CENTRE[1] - 4) / 20.0
    return mix(FLAME_EDGE, FLAME_CORE, 1.0 - math.sqrt(dx * dx + dy * dy))


def stalk(x, y):
    lean = (28 - y) * 0.35
    return STALK_DARK if x < 55 + lean - 1 else STALK


def pixel(x, y, noise):
    px, py = x + 0.5, y + 0.5
    u, v = body_coordinates(px, py)
    if u * u + v * v < 1.0:
        if in_carving(px, py):
            return flame(px, py)
        return skin(px, py, u, v, noise)
    if in_stalk(px, py):
        return stalk(px, py)
    return background(px, py, noise)


def render():
    rng = random.Random(SEED)
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            noise = rng.uniform(-1.0, 1.0)
            row.append(tuple(int(round(min(max(c, 0), 255))) for c in pixel(x, y, noise)))
        rows.append(row)
    return rows


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "resources", "images", "about_logo.bmp")
    output = sys.argv[1] if len(sys.argv) > 1 else default
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with open(output, "wb") as f:
        f.write(bitmap_bytes(render()))


if __name__ == "__main__":
    main()
