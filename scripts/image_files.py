"""Writes the pictures our make_images.py / make_art.py scripts draw: icon
files (32-bit colour with alpha), 24-bit and 8-bit bitmaps, and the two
drawing steps the scripts have in common. A picture is a list of rows of
(r, g, b) colours, top row first; None is a transparent pixel.
Only the standard library is needed."""

import math
import struct


def fill_rect(pixels, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(len(pixels), y1)):
        for x in range(max(0, x0), min(len(pixels[0]), x1)):
            pixels[y][x] = colour


def disc(pixels, cx, cy, radius, inner, rim):
    for y, row in enumerate(pixels):
        for x in range(len(row)):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if d <= radius - 1:
                row[x] = inner
            elif d <= radius:
                row[x] = rim


def icon_image(pixels):
    """One image of an icon file: 32-bit colour with alpha and the AND mask."""
    size = len(pixels)
    xor = bytearray()
    for row in reversed(pixels):
        for colour in row:
            xor += b"\0\0\0\0" if colour is None else bytes((colour[2], colour[1], colour[0], 255))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = 0
        for x, colour in enumerate(row):
            if colour is None:
                bits |= 1 << (stride * 8 - 1 - x)
        mask += bits.to_bytes(stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def write_ico(path, images):
    """An icon file holding one square image per picture, in the order given."""
    datas = [icon_image(pixels) for pixels in images]
    offset = 6 + 16 * len(datas)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(datas)))
        for pixels, data in zip(images, datas):
            size = len(pixels)
            f.write(struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset))
            offset += len(data)
        for data in datas:
            f.write(data)


def write_bmp24(path, pixels):
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    image = bytearray()
    for row in reversed(pixels):
        line = b"".join(bytes((b, g, r)) for (r, g, b) in row)
        image += line + bytes(stride - len(line))
    offset = 14 + 40
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0))
        f.write(image)


def write_bmp8(path, pixels):
    """An 8-bit bitmap with a colour table, so that the loader can map the
    system colours; the first pixel's colour is the background."""
    height, width = len(pixels), len(pixels[0])
    palette = []
    for row in pixels:
        for colour in row:
            if colour not in palette:
                palette.append(colour)
    stride = (width + 3) & ~3
    image = bytearray()
    for row in reversed(pixels):
        line = bytes(palette.index(c) for c in row)
        image += line + bytes(stride - width)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + 40 + len(table)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(image), 2835, 2835,
                            len(palette), len(palette)))
        f.write(table)
        f.write(image)
