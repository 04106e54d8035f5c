#!/usr/bin/env python3
"""Draws the pictures the program frame's tests load as resources: three
16 x 16 toolbar icons, a program icon at 16 x 16 and 32 x 32, and two
bitmaps for the About box, the first wider than the box has room for at
first. Plain squares in distinct colours; run again after a change. Only
the standard library is needed."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def square(size, colour):
    """Pixels (r, g, b, a), a filled square with a transparent one-pixel rim."""
    return [[colour + (255,) if 0 < x < size - 1 and 0 < y < size - 1 else (0, 0, 0, 0)
             for x in range(size)] for y in range(size)]


def icon_image(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(struct.pack("<BBBB", b, g, r, a) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + colour + bytes(mask)


def write_ico(name, images):
    data = [icon_image(p) for p in images]
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for pixels, blob in zip(images, data):
        size = len(pixels)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(out + b"".join(data))


def write_bmp24(name, width, height, colour):
    stride = (width * 3 + 3) & ~3
    r, g, b = colour
    image = (bytes([b, g, r]) * width + bytes(stride - width * 3)) * height
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(image), 0, 0, 14 + len(header))
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(file_header + header + image)


write_ico("red.ico", [square(16, (200, 30, 30))])
write_ico("green.ico", [square(16, (30, 160, 30))])
write_ico("blue.ico", [square(16, (30, 30, 200))])
write_ico("program.ico", [square(16, (120, 60, 160)), square(32, (120, 60, 160))])
write_bmp24("first.bmp", 300, 24, (250, 200, 0))
write_bmp24("second.bmp", 32, 32, (0, 180, 200))
