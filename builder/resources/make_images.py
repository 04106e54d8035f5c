#!/usr/bin/env python3
"""Draws the builder's pictures: its program icon (32 x 32 and 16 x 16), the
three 16 x 16 toolbar icons (Open, Save, Save As) and the two About pictures.
Our own artwork, kept as files next to this script; run it again after
changing a drawing. Only the standard library is needed."""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))

from image_files import fill_rect, write_bmp24, write_ico  # noqa: E402

INK = (30, 30, 40)
PAPER = (250, 250, 250)
BLUE = (40, 90, 190)
AMBER = (240, 180, 40)
GREY = (192, 192, 192)


def canvas(width, height=None, colour=None):
    return [[colour] * width for _ in range(height or width)]


def frame_rect(pixels, x0, y0, x1, y1, colour):
    fill_rect(pixels, x0, y0, x1, y0 + 1, colour)
    fill_rect(pixels, x0, y1 - 1, x1, y1, colour)
    fill_rect(pixels, x0, y0, x0 + 1, y1, colour)
    fill_rect(pixels, x1 - 1, y0, x1, y1, colour)


def template_sheet(size):
    """A sheet of rows of byte cells, the first cell of each row highlighted,
    with a pencil across its corner: a definition being written."""
    pixels = canvas(size)
    s = size / 16.0
    fill_rect(pixels, int(1 * s), int(1 * s), int(13 * s), int(15 * s), PAPER)
    frame_rect(pixels, int(1 * s), int(1 * s), int(13 * s), int(15 * s), INK)
    for row in range(4):
        y = int((3 + 3 * row) * s)
        for cell in range(3):
            x = int((3 + 3 * cell) * s)
            fill_rect(pixels, x, y, x + max(2, int(2 * s)), y + max(1, int(1.5 * s)), BLUE if cell else AMBER)
    for k in range(int(6 * s)):
        x, y = size - 1 - k - int(1 * s), int(8 * s) + k
        fill_rect(pixels, x - max(1, int(s)), y, x + 1, y + max(1, int(s)), (200, 60, 40))
    return pixels


def open_icon():
    """A folder, its flap open."""
    pixels = canvas(16)
    fill_rect(pixels, 1, 3, 7, 5, AMBER)
    fill_rect(pixels, 1, 5, 14, 14, (200, 150, 30))
    fill_rect(pixels, 3, 8, 16, 14, AMBER)
    frame_rect(pixels, 1, 5, 14, 14, (120, 80, 10))
    return pixels


def disk(pixels):
    fill_rect(pixels, 1, 1, 15, 15, BLUE)
    fill_rect(pixels, 4, 1, 12, 6, PAPER)
    fill_rect(pixels, 9, 2, 11, 5, INK)
    fill_rect(pixels, 3, 9, 13, 15, (220, 220, 220))
    frame_rect(pixels, 1, 1, 15, 15, (20, 40, 110))


def save_icon():
    pixels = canvas(16)
    disk(pixels)
    return pixels


def save_as_icon():
    """The disk with a pencil over its label."""
    pixels = canvas(16)
    disk(pixels)
    for k in range(7):
        fill_rect(pixels, 14 - k - 1, 8 + k, 14 - k + 1, 9 + k, (200, 60, 40))
    fill_rect(pixels, 6, 14, 8, 16, INK)
    return pixels


def about_picture(rows):
    """64 x 48: lines of byte cells on a dark panel, on the dialog grey."""
    width, height = 64, 48
    pixels = canvas(width, height, GREY)
    frame_rect(pixels, 0, 0, width, height, (60, 60, 70))
    fill_rect(pixels, 2, 2, width - 2, height - 2, INK)
    for row, cells in enumerate(rows):
        for cell in range(cells):
            x, y = 5 + cell * 7, 6 + row * 7
            colour = AMBER if cell == 0 else (80, 200, 90) if cell == cells - 1 else (90, 140, 230)
            fill_rect(pixels, x, y, x + 5, y + 4, colour)
    return pixels


def main():
    write_ico(os.path.join(HERE, "builder.ico"), [template_sheet(32), template_sheet(16)])
    write_ico(os.path.join(HERE, "open.ico"), [open_icon()])
    write_ico(os.path.join(HERE, "save.ico"), [save_icon()])
    write_ico(os.path.join(HERE, "save_as.ico"), [save_as_icon()])
    write_bmp24(os.path.join(HERE, "about_first.bmp"), about_picture([8, 5, 7, 3, 6, 8]))
    write_bmp24(os.path.join(HERE, "about_second.bmp"), about_picture([2, 8, 4, 8, 6, 1]))


if __name__ == "__main__":
    main()
