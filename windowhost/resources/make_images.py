#!/usr/bin/env python3
"""Draws the window host's pictures: its program icon (32 x 32 and 16 x 16),
the four 16 x 16 toolbar icons and the two About pictures. Our own artwork,
kept as files next to this script; run it again after changing a drawing.
Only the standard library is needed."""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))

from image_files import disc, fill_rect, write_bmp24, write_ico  # noqa: E402


def canvas(size):
    return [[None] * size for _ in range(size)]


def program_icon(size):
    """A dark case with a window strip on top and two sliders: a host's desk."""
    pixels = canvas(size)
    s = size / 16.0
    fill_rect(pixels, 0, int(2 * s), size, int(14 * s), (30, 30, 40))
    fill_rect(pixels, int(1 * s), int(3 * s), size - int(1 * s), int(5 * s), (60, 110, 200))
    for k, level in ((0, 8), (1, 11), (2, 9)):
        x = int((3 + 4 * k) * s)
        fill_rect(pixels, x, int(6 * s), x + max(1, int(s)), int(13 * s), (120, 120, 130))
        fill_rect(pixels, x - max(1, int(s)), int(level * s), x + 2 * max(1, int(s)), int((level + 1.5) * s),
                  (250, 200, 40))
    return pixels


def arrow(down, colour):
    """A thick arrow into (down) or out of (up) a tray."""
    pixels = canvas(16)
    fill_rect(pixels, 2, 13, 14, 15, (60, 60, 70))
    fill_rect(pixels, 6, 2 if down else 5, 10, 9 if down else 12, colour)
    for d in range(5):
        y = 9 + d if down else 5 - d
        fill_rect(pixels, 3 + d, y, 13 - d, y + 1, colour)
    return pixels


def cancel_icon():
    pixels = canvas(16)
    disc(pixels, 8, 8, 7.5, (210, 50, 40), (120, 20, 10))
    for d in range(-3, 4):
        fill_rect(pixels, 8 + d - 1, 8 + d, 8 + d + 1, 8 + d + 1, (255, 255, 255))
        fill_rect(pixels, 8 - d - 1, 8 + d, 8 - d + 1, 8 + d + 1, (255, 255, 255))
    return pixels


def back_up_icon():
    """Three stacked discs: every instrument kept."""
    pixels = canvas(16)
    for k in range(3):
        fill_rect(pixels, 2, 3 + 4 * k, 14, 6 + 4 * k, (40, 140, 70) if k == 0 else (60, 170, 90))
        fill_rect(pixels, 3, 4 + 4 * k, 13, 5 + 4 * k, (200, 240, 210))
    return pixels


def about_picture(phase):
    """64 x 48: a row of faders in the program's colours on the dialog grey."""
    width, height = 64, 48
    pixels = [[(192, 192, 192)] * width for _ in range(height)]
    fill_rect(pixels, 2, 2, width - 2, height - 2, (30, 30, 40))
    for k in range(6):
        x = 7 + k * 9
        fill_rect(pixels, x + 2, 6, x + 3, height - 6, (110, 110, 120))
        level = int((0.5 + 0.45 * math.sin(k * 0.9 + phase)) * (height - 18)) + 6
        fill_rect(pixels, x, level, x + 5, level + 4, (60, 110, 200) if k % 2 else (250, 200, 40))
    return pixels


def main():
    write_ico(os.path.join(HERE, "window_host.ico"), [program_icon(32), program_icon(16)])
    write_ico(os.path.join(HERE, "receive.ico"), [arrow(True, (40, 120, 210))])
    write_ico(os.path.join(HERE, "transmit.ico"), [arrow(False, (220, 130, 30))])
    write_ico(os.path.join(HERE, "cancel.ico"), [cancel_icon()])
    write_ico(os.path.join(HERE, "back_up_all.ico"), [back_up_icon()])
    write_bmp24(os.path.join(HERE, "about_first.bmp"), about_picture(0.0))
    write_bmp24(os.path.join(HERE, "about_second.bmp"), about_picture(2.5))


if __name__ == "__main__":
    main()
