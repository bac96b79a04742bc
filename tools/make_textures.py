#!/usr/bin/env python3
"""Makes the two texture chains the scene samples, as Windows bitmaps.

    make_textures.py [OUTPUT_DIR]      (default: resources/textures)

- gravel_<S>.bmp, S = 256, 128, ..., 1: grey gravel whose red channel is the
  height the ground's bump mapping reads (pebble tops bright, gaps dark);
- skin_<S>.bmp, S = 128, 64, ..., 1: a streaked, mottled gourd-skin pattern.

Both images tile seamlessly (the scene repeats them far outside [0,1]). Every
smaller level is the box average of level 0 over blocks of the matching size,
so each level is a proper downsample of the full image, not of its neighbour.

Everything is computed from a fixed seed with integer hashing and plain
arithmetic (no library random generator, no platform maths beyond sqrt), so
running it again anywhere gives the same bytes. Bitmaps: 14-byte file header,
40-byte information header, 24 bits per pixel, uncompressed, bottom-up rows
padded to 4 bytes, blue-green-red.
"""

import math
import os
import sys

from bmp_writer import bitmap_bytes

SEED = 0x6C0A3E5D
MASK64 = (1 << 64) - 1


def mix64(x):
    """splitmix64's finaliser: a well-spread 64-bit hash of an integer."""
    x = (x + 0x9E3779B97F4A7C15) & MASK64
    x = ((x ^ (x >> 30)) * 0xBF58476D1CE4E5B9) & MASK64
    x = ((x ^ (x >> 27)) * 0x94D049BB133111EB) & MASK64
    return x ^ (x >> 31)


def unit(*keys):
    """A number in [0, 1) fixed by the seed and the keys."""
    h = SEED
    for k in keys:
        h = mix64(h ^ (k & MASK64))
    return (h >> 11) / float(1 << 53)


def smooth(t):
    return t * t * (3.0 - 2.0 * t)


def value_noise(x, y, period_x, period_y, salt):
    """Smooth noise on an integer lattice that repeats every period cells."""
    x0, y0 = math.floor(x), math.floor(y)
    fx, fy = smooth(x - x0), smooth(y - y0)

    def corner(i, j):
        return unit(salt, (x0 + i) % period_x, (y0 + j) % period_y)

    top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * fx
    bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * fx
    return top + (bottom - top) * fy


def octave_noise(x, y, period_x, period_y, salt, octaves):
    total, weight, norm = 0.0, 1.0, 0.0
    for o in range(octaves):
        scale = 1 << o
        total += weight * value_noise(x * scale, y * scale, period_x * scale, period_y * scale, salt + o)
        norm += weight
        weight *= 0.5
    return total / norm


class PebbleLayer:
    """Pebbles as the cells of a tiling Voronoi diagram, one jittered point a
    cell; a pebble's height falls off towards the cell's border."""

    def __init__(self, size, cells, salt):
        self.size, self.cells, self.salt = size, cells, salt
        self.cell = size / cells
        self.points = {}
        for cy in range(cells):
            for cx in range(cells):
                jx, jy = unit(salt, cx, cy, 1), unit(salt, cx, cy, 2)
                self.points[(cx, cy)] = ((cx + 0.15 + 0.7 * jx) * self.cell, (cy + 0.15 + 0.7 * jy) * self.cell)

    def sample(self, x, y):
        """(height in [0,1], id of the nearest pebble)."""
        cx, cy = int(x // self.cell), int(y // self.cell)
        first, second, nearest = 1e9, 1e9, None
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                nx, ny = cx + dx, cy + dy
                key = (nx % self.cells, ny % self.cells)
                px, py = self.points[key]
                px += (nx - key[0]) * self.cell
                py += (ny - key[1]) * self.cell
                d = math.sqrt((x - px) ** 2 + (y - py) ** 2)
                if d < first:
                    first, second, nearest = d, first, key
                elif d < second:
                    second = d
        # Rounded stones: a dome around the stone's point, cut down towards
        # the border it shares with its nearest neighbour.
        radius = self.cell * (0.45 + 0.3 * unit(self.salt, nearest[0], nearest[1], 3))
        dome = math.sqrt(max(0.0, 1.0 - (first / radius) ** 2))
        rim = smooth(min(1.0, (second - first) / (0.35 * self.cell)))
        return min(dome, rim) ** 0.7, nearest


def gravel(size):
    """Rows top to bottom of (r, g, b) floats."""
    big = PebbleLayer(size, 13, 100)
    small = PebbleLayer(size, 29, 200)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            h_big, id_big = big.sample(x + 0.5, y + 0.5)
            h_small, id_small = small.sample(x + 0.5, y + 0.5)
            # Small stones show in the gaps between the big ones.
            tone_big = 0.55 + 0.4 * unit(300, *id_big)
            tone_small = 0.35 + 0.45 * unit(400, *id_small)
            height = max(h_big * tone_big, 0.8 * h_small * tone_small)
            grit = octave_noise(x / 4.0, y / 4.0, size // 4, size // 4, 500, 3) - 0.5
            value = 0.1 + 0.78 * height + 0.12 * grit
            use_big = h_big * tone_big >= 0.8 * h_small * tone_small
            stone = id_big if use_big else id_small
            # A faint warm or cool cast per stone keeps the grey from looking flat.
            cast = (unit(600 if use_big else 700, *stone) - 0.5) * 0.08
            row.append((value, value * (1.0 - 0.3 * cast), value * (1.0 - cast)))
        rows.append(row)
    return rows


def skin(size):
    """Vertical streaks with slow mottling: it is wrapped around the gourd's
    ribs, u around the body, v up it."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            wobble = octave_noise(x / 32.0, y / 32.0, size // 32, size // 32, 800, 2)
            streak = octave_noise(x / 4.0 + 3.0 * wobble, y / 64.0, size // 4, max(1, size // 64), 900, 3)
            mottle = octave_noise(x / 16.0, y / 16.0, size // 16, size // 16, 1000, 3)
            v = min(1.0, max(0.0, 0.15 + 0.7 * streak + 0.3 * (mottle - 0.5)))
            row.append((0.25 + 0.75 * v, 0.1 + 0.45 * v, 0.03 + 0.12 * v))
        rows.append(row)
    return rows


def to_bytes(rows):
    def channel(c):
        return int(math.floor(min(1.0, max(0.0, c)) * 255.0 + 0.5))

    return [[tuple(channel(c) for c in p) for p in row] for row in rows]


def downsample(rows, size):
    """Box average of level 0 over (full/size)^2 blocks, rounded to nearest."""
    block = len(rows) // size
    area = block * block
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            sums = [0, 0, 0]
            for yy in range(y * block, (y + 1) * block):
                for p in rows[yy][x * block:(x + 1) * block]:
                    sums[0] += p[0]
                    sums[1] += p[1]
                    sums[2] += p[2]
            row.append(tuple((s + area // 2) // area for s in sums))
        out.append(row)
    return out


def write_chain(directory, stem, rows):
    full = len(rows)
    size = full
    while size >= 1:
        level = rows if size == full else downsample(rows, size)
        with open(os.path.join(directory, "%s_%d.bmp" % (stem, size)), "wb") as f:
            f.write(bitmap_bytes(level))
        size //= 2


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    directory = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "textures")
    os.makedirs(directory, exist_ok=True)
    write_chain(directory, "gravel", to_bytes(gravel(256)))
    write_chain(directory, "skin", to_bytes(skin(128)))


if __name__ == "__main__":
    main()
