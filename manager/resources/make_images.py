#!/usr/bin/env python3
"""Draws the manager's pictures: its program icon (32 x 32 and 16 x 16), the
document icon of ".druv" files, the four 16 x 16 toolbar icons and the two
About pictures. Our own artwork, kept as files next to this script; run it
again after changing a drawing. Only the standard library is needed."""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))

from image_files import disc, fill_rect, write_bmp24, write_ico  # noqa: E402


def canvas(size):
    return [[None] * size for _ in range(size)]


def frame_rect(pixels, x0, y0, x1, y1, colour):
    for x in range(x0, x1):
        pixels[y0][x] = pixels[y1 - 1][x] = colour
    for y in range(y0, y1):
        pixels[y][x0] = pixels[y][x1 - 1] = colour


def keyboard(size):
    """A small instrument: a dark case with a row of knobs over white and black keys."""
    pixels = canvas(size)
    s = size / 16.0
    top, bottom = int(3 * s), int(14 * s)
    fill_rect(pixels, 0, top, size, bottom, (30, 30, 40))
    fill_rect(pixels, int(1 * s), top + 1, size - int(1 * s), top + int(3 * s), (80, 90, 110))
    for k in range(5):
        cx = int((2.5 + 2.6 * k) * s)
        fill_rect(pixels, cx, top + int(1.5 * s) - 1, cx + max(1, int(s)), top + int(1.5 * s) + max(1, int(s)) - 1,
                  (250, 200, 40))
    keys_top = top + int(4 * s)
    fill_rect(pixels, int(1 * s), keys_top, size - int(1 * s), bottom - 1, (250, 250, 250))
    white = (size - 2 * int(1 * s)) // 7
    for k in range(1, 7):
        x = int(1 * s) + k * white
        fill_rect(pixels, x, keys_top, x + 1, bottom - 1, (120, 120, 120))
    for k in (1, 2, 4, 5, 6):
        x = int(1 * s) + k * white - max(1, white // 3)
        fill_rect(pixels, x, keys_top, x + max(2, 2 * white // 3), keys_top + int(5 * s), (20, 20, 20))
    return pixels


def document(size):
    """A page with a folded corner and a small instrument on it."""
    pixels = canvas(size)
    s = size / 16.0
    x0, x1, y0, y1 = int(2 * s), int(14 * s), 0, size
    fold = int(4 * s)
    fill_rect(pixels, x0, y0, x1, y1, (255, 255, 255))
    frame_rect(pixels, x0, y0, x1, y1, (90, 90, 90))
    for d in range(fold):
        for x in range(x1 - fold + d, x1):
            pixels[d][x] = None
        pixels[d][x1 - fold + d] = (90, 90, 90)
    fill_rect(pixels, x1 - fold, 0, x1 - fold + 1, fold, (90, 90, 90))
    fill_rect(pixels, x1 - fold, fold - 1, x1, fold, (90, 90, 90))
    fill_rect(pixels, int(4 * s), int(8 * s), int(12 * s), int(13 * s), (30, 30, 40))
    fill_rect(pixels, int(5 * s), int(10 * s), int(11 * s), int(12 * s), (250, 250, 250))
    for k in range(6, 11, 2):
        fill_rect(pixels, int(k * s), int(10 * s), int(k * s) + max(1, int(s)), int(11 * s), (20, 20, 20))
    return pixels


def add_icon():
    pixels = canvas(16)
    disc(pixels, 8, 8, 7.5, (40, 170, 60), (10, 90, 20))
    fill_rect(pixels, 7, 4, 9, 12, (255, 255, 255))
    fill_rect(pixels, 4, 7, 12, 9, (255, 255, 255))
    return pixels


def remove_icon():
    pixels = canvas(16)
    disc(pixels, 8, 8, 7.5, (210, 50, 40), (120, 10, 10))
    fill_rect(pixels, 4, 7, 12, 9, (255, 255, 255))
    return pixels


def remove_all_icon():
    pixels = canvas(16)
    for k in range(4, 13):
        for w in (-1, 0):
            for (x, y) in ((k + w, k), (16 - k + w, k)):
                if 0 <= x < 16:
                    pixels[y][x] = (200, 30, 30)
    frame_rect(pixels, 1, 1, 15, 15, (120, 10, 10))
    fill_rect(pixels, 3, 3, 7, 4, (120, 10, 10))
    return pixels


def help_icon():
    rows = [
        "................",
        ".....BBBBBB.....",
        "...BBBBBBBBBB...",
        "..BBBBWWWWBBBB..",
        "..BBBWWBBWWBBB..",
        ".BBBBBBBBWWBBBB.",
        ".BBBBBBBWWBBBBB.",
        ".BBBBBBWWBBBBBB.",
        ".BBBBBBWWBBBBBB.",
        ".BBBBBBBBBBBBBB.",
        ".BBBBBBWWBBBBBB.",
        "..BBBBBWWBBBBB..",
        "..BBBBBBBBBBBB..",
        "...BBBBBBBBBB...",
        ".....BBBBBB.....",
        "................",
    ]
    palette = {"B": (30, 90, 200), "W": (255, 255, 255)}
    return [[palette.get(ch) for ch in row] for row in rows]


def about_picture(hue):
    """64 x 48: a stylised level meter in the program's colours on the dialog grey."""
    width, height = 64, 48
    pixels = [[(192, 192, 192)] * width for _ in range(height)]
    frame_rect(pixels, 0, 0, width, height, (60, 60, 70))
    fill_rect(pixels, 2, 2, width - 2, height - 2, (30, 30, 40))
    for bar in range(7):
        level = int((0.5 + 0.5 * math.sin(bar * 1.1 + hue)) * 34) + 4
        x = 5 + bar * 8
        for y in range(height - 4 - level, height - 4):
            ratio = (height - 4 - y) / 40.0
            colour = (40, 200, 60) if ratio < 0.55 else (240, 200, 40) if ratio < 0.8 else (220, 50, 40)
            fill_rect(pixels, x, y, x + 6, y + 1, colour)
    return pixels


def main():
    write_ico(os.path.join(HERE, "manager.ico"), [keyboard(32), keyboard(16)])
    write_ico(os.path.join(HERE, "DRUVManager.ico"), [document(32), document(16)])
    write_ico(os.path.join(HERE, "add.ico"), [add_icon()])
    write_ico(os.path.join(HERE, "remove.ico"), [remove_icon()])
    write_ico(os.path.join(HERE, "remove_all.ico"), [remove_all_icon()])
    write_ico(os.path.join(HERE, "help.ico"), [help_icon()])
    write_bmp24(os.path.join(HERE, "about_first.bmp"), about_picture(0.0))
    write_bmp24(os.path.join(HERE, "about_second.bmp"), about_picture(2.0))


if __name__ == "__main__":
    main()
