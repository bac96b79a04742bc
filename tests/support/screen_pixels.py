"""Pixels of screenshots and of the bitmaps the program embeds, for tests
that compare what a window shows with what it should show."""

import struct
import subprocess


def read_bmp(path):
    """Width, height and rows (top first) of RGB tuples of a 24-bit bottom-up BMP."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    assert bits == 24 and height > 0, "24-bit bottom-up bitmap expected"
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(height):
        row = data[offset + (height - 1 - y) * stride:]
        rows.append([(row[3 * x + 2], row[3 * x + 1], row[3 * x]) for x in range(width)])
    return width, height, rows


class Picture:
    """An RGB image read from a file through ImageMagick's plain PPM."""

    def __init__(self, path):
        raw = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                             stdout=subprocess.PIPE).stdout
        fields = raw.split(maxsplit=4)
        assert fields[0] == b"P6" and fields[3] == b"255"
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = fields[4]

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def samples(self, box, step):
        """Every step-th pixel of the box (left, top, width, height), each way."""
        left, top, width, height = box
        return (self.at(x, y) for y in range(top, top + height, step) for x in range(left, left + width, step))

    def brightest(self, box, step=4):
        """The largest channel value among the box's samples."""
        return max(max(pixel) for pixel in self.samples(box, step))

    def warm_pixels(self, box, step=4):
        """How many samples glow like the lantern: strongly red, little blue."""
        return sum(1 for r, _, b in self.samples(box, step) if r > 150 and r > b + 80)

    def warm_extent(self, box, step=2):
        """(left, top, width, height) of the box's lantern-warm samples,
        relative to the box, leaving out the outer twentieth on each side so
        that a stray lit speck does not stretch it; None where there are
        none."""
        left, top, width, height = box
        xs, ys = [], []
        for y in range(top, top + height, step):
            for x in range(left, left + width, step):
                r, _, b = self.at(x, y)
                if r > 150 and r > b + 80:
                    xs.append(x - left)
                    ys.append(y - top)
        if not xs:
            return None
        xs.sort()
        ys.sort()
        cut = len(xs) // 20
        x0, x1, y0, y1 = xs[cut], xs[-1 - cut], ys[cut], ys[-1 - cut]
        return x0, y0, x1 - x0 + step, y1 - y0 + step
