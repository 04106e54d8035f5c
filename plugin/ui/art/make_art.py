#!/usr/bin/env python3
"""Draws the editor page's pictures: the four 16 x 16 toolbar icons and the two
64 x 16 status bitmaps. Our own artwork, kept as files next to this script;
run it again after changing a drawing. Only the standard library is needed."""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "scripts"))

from image_files import disc, write_bmp8, write_ico  # noqa: E402

# A 5 x 7 pixel font holding the letters the status words use.
GLYPHS = {
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "n": ["00000", "00000", "10110", "11001", "10001", "10001", "10001"],
    "l": ["01100", "00100", "00100", "00100", "00100", "00100", "01110"],
    "i": ["00100", "00000", "01100", "00100", "00100", "00100", "01110"],
    "e": ["00000", "00000", "01110", "10001", "11111", "10000", "01110"],
    "f": ["00110", "01001", "01000", "11100", "01000", "01000", "01000"],
}


def blank(width, height, colour):
    return [[colour for _ in range(width)] for _ in range(height)]


def text(pixels, x, y, word, colour):
    for letter in word:
        for dy, line in enumerate(GLYPHS[letter]):
            for dx, bit in enumerate(line):
                if bit == "1":
                    pixels[y + dy][x + dx] = colour
        x += 6


def shape(rows, palette):
    return [[palette.get(ch) for ch in row] for row in rows]


ABOUT = shape([
    "................",
    ".....BBBBBB.....",
    "...BBBBBBBBBB...",
    "..BBBBBWWBBBBB..",
    "..BBBBBWWBBBBB..",
    ".BBBBBBBBBBBBBB.",
    ".BBBBBWWWBBBBBB.",
    ".BBBBBBWWBBBBBB.",
    ".BBBBBBWWBBBBBB.",
    ".BBBBBBWWBBBBBB.",
    ".BBBBBBWWBBBBBB.",
    "..BBBBWWWWBBBB..",
    "..BBBBBBBBBBBB..",
    "...BBBBBBBBBB...",
    ".....BBBBBB.....",
    "................",
], {"B": (30, 90, 200), "W": (255, 255, 255)})

HELP = shape([
    "................",
    ".....GGGGGG.....",
    "...GGGGGGGGGG...",
    "..GGGGWWWWGGGG..",
    "..GGGWWGGWWGGG..",
    ".GGGGGGGGWWGGGG.",
    ".GGGGGGGWWGGGGG.",
    ".GGGGGGWWGGGGGG.",
    ".GGGGGGWWGGGGGG.",
    ".GGGGGGGGGGGGGG.",
    ".GGGGGGWWGGGGGG.",
    "..GGGGGWWGGGGG..",
    "..GGGGGGGGGGGG..",
    "...GGGGGGGGGG...",
    ".....GGGGGG.....",
    "................",
], {"G": (0, 130, 90), "W": (255, 255, 255)})

DEVICE = shape([
    "................",
    "................",
    "................",
    "KKKKKKKKKKKKKKKK",
    "KSSSSSSSSSSSSSSK",
    "KSoSoSoSoSoSoSSK",
    "KSSSSSSSSSSSSSSK",
    "KKKKKKKKKKKKKKKK",
    "KWKWKWKWKWKWKWKK",
    "KWKWKWKWKWKWKWKK",
    "KWKWKWKWKWKWKWKK",
    "KWWWWWWWWWWWWWWK",
    "KWWWWWWWWWWWWWWK",
    "KKKKKKKKKKKKKKKK",
    "................",
    "................",
], {"K": (20, 20, 20), "S": (90, 90, 100), "o": (240, 200, 40), "W": (250, 250, 250)})


def status_icon():
    pixels = [[None] * 16 for _ in range(16)]
    for y in range(16):
        for x in range(16):
            d = math.hypot(x + 0.5 - 8, y + 0.5 - 8)
            if d <= 6:
                pixels[y][x] = (40, 200, 60) if x < 8 else (210, 40, 40)
            elif d <= 7:
                pixels[y][x] = (30, 30, 30)
    return pixels


def status_bitmap(word, light, dark):
    background = (192, 192, 192)  # mapped to the dialog colour when loaded
    pixels = blank(64, 16, background)
    disc(pixels, 8, 8, 6, light, dark)
    pixels[5][6] = pixels[5][7] = pixels[6][6] = (255, 255, 255)  # highlight
    text(pixels, 18, 4, word, (0, 0, 0))
    return pixels


def main():
    write_ico(os.path.join(HERE, "about.ico"), [ABOUT])
    write_ico(os.path.join(HERE, "help.ico"), [HELP])
    write_ico(os.path.join(HERE, "device.ico"), [DEVICE])
    write_ico(os.path.join(HERE, "status.ico"), [status_icon()])
    write_bmp8(os.path.join(HERE, "online.bmp"), status_bitmap("Online", (40, 210, 60), (0, 100, 20)))
    write_bmp8(os.path.join(HERE, "offline.bmp"), status_bitmap("Offline", (220, 40, 40), (110, 0, 0)))


if __name__ == "__main__":
    main()
