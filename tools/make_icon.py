#!/usr/bin/env python3
"""Writes the Windows file icon (.ico) from the window icon's picture.

    make_icon.py render/window_icon_data.cpp OUTPUT.ico

The window icon lives in the program as C++ constant data, 64x64 RGBA stored
column by column; the file icon shows the same picture, so it is read from
there rather than drawn twice. The .ico holds one 32-bit image: a BITMAPINFO
header with the doubled height that icons use, BGRA rows from the bottom up,
then the 1-bit AND mask (transparent where alpha is 0).
"""

import re
import struct
import sys

SIZE = 64


def read_columns(source_path):
    text = open(source_path, encoding="utf-8").read()
    body = text[text.index("{", text.index("kWindowIconColumns")):]
    data = bytes(int(h, 16) for h in re.findall(r"0x([0-9a-fA-F]{2})", body))
    if len(data) != SIZE * SIZE * 4:
        sys.exit("%s: expected %d icon bytes, found %d" % (source_path, SIZE * SIZE * 4, len(data)))
    return data


def pixel(columns, x, y):
    offset = (x * SIZE + y) * 4
    return columns[offset:offset + 4]


def icon_image(columns):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((SIZE + 31) // 32) * 4
    for y in reversed(range(SIZE)):
        row_mask = bytearray(mask_stride)
        for x in range(SIZE):
            r, g, b, a = pixel(columns, x, y)
            colour += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    return header + bytes(colour) + bytes(mask)


def icon_file(image):
    directory = struct.pack("<HHH", 0, 1, 1)
    # Width and height 64 fit the byte fields; 0 would mean 256.
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    image = icon_image(read_columns(sys.argv[1]))
    with open(sys.argv[2], "wb") as out:
        out.write(icon_file(image))


if __name__ == "__main__":
    main()
