"""Windows bitmap files as the program embeds them: 14-byte file header,
40-byte BITMAPINFOHEADER, 24 bits a pixel, bottom-up, rows padded to 4 bytes."""

import struct


def bitmap_bytes(rows):
    """The file for rows of (r, g, b) given top to bottom."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)
