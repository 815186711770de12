#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Draws the window's banner: three lines of yellow capitals on black, as 24-bit BMP files at
# 101 x 92 (banner.bmp) and 202 x 184 (banner@2x.bmp, for screens at 200 %). Standard library
# only, so anyone can regenerate the pictures: python3 ui/resources/make_banner.py
import pathlib
import struct

GLYPHS = {
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
}
LINES = ["NOKIA", "GSM", "ICS"]
WIDTH, HEIGHT = 101, 92
# The window hides the top 8 rows and the frame below covers the last 4: keep text in between.
FIRST_ROW, LINE_GAP, SCALE = 10, 6, 3
YELLOW, BLACK = (255, 255, 0), (0, 0, 0)


def draw(factor):
    width, height = WIDTH * factor, HEIGHT * factor
    pixels = [[BLACK] * width for _ in range(height)]
    scale = SCALE * factor
    top = FIRST_ROW * factor
    for line in LINES:
        units = len(line) * 6 - 1
        left = (width - units * scale) // 2
        for index, letter in enumerate(line):
            for gy, row in enumerate(GLYPHS[letter]):
                for gx, bit in enumerate(row):
                    if bit != "1":
                        continue
                    x0 = left + (index * 6 + gx) * scale
                    y0 = top + gy * scale
                    for y in range(y0, y0 + scale):
                        for x in range(x0, x0 + scale):
                            pixels[y][x] = YELLOW
        top += (7 * SCALE + LINE_GAP) * factor
    return width, height, pixels


def bmp(width, height, pixels):
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):  # BMP rows run bottom-up
        for red, green, blue in row:
            body += bytes((blue, green, red))
        body += b"\0" * (stride - width * 3)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 3780, 3780, 0, 0)
    return header + info + bytes(body)


if __name__ == "__main__":
    here = pathlib.Path(__file__).resolve().parent
    for factor, name in ((1, "banner.bmp"), (2, "banner@2x.bmp")):
        (here / name).write_bytes(bmp(*draw(factor)))
