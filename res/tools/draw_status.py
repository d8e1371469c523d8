#!/usr/bin/env python3
"""Draws res/images/status.png, the list images strip.

70x15 pixels, 16-colour palette, on a teal (0,128,128) background that the program
makes transparent when it loads the strip. Four 16-pixel images, left to right:
0 not posted (yellow ring, black outline, green centre), 1 post failed (red cross),
2 post succeeded (green arrow with outline, shadow and a bar behind its tail),
3 parameter row (magenta P). The last 6 columns are background.

Pure Python (zlib only) so the picture can be redrawn anywhere: python3 draw_status.py
"""
import math
import os
import struct
import zlib

WIDTH, HEIGHT = 70, 15
TEAL, BLACK, YELLOW, GREEN, RED, GREY, MAGENTA = range(7)
PALETTE = [(0, 128, 128), (0, 0, 0), (255, 255, 0), (0, 176, 0),
           (224, 0, 0), (128, 128, 128), (255, 0, 255)]


def blank():
    return [[TEAL] * WIDTH for _ in range(HEIGHT)]


def ring(img, ox):
    cx, cy = ox + 7.5, 7.0
    for y in range(HEIGHT):
        for x in range(ox, ox + 16):
            r = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if r <= 2.6:
                img[y][x] = GREEN
            elif r <= 3.6:
                img[y][x] = BLACK
            elif r <= 6.0:
                img[y][x] = YELLOW
            elif r <= 6.9:
                img[y][x] = BLACK


def cross(img, ox):
    for y in range(2, 13):
        for d in (0, 1):
            for x in (ox + 2 + (y - 2) + d, ox + 13 - (y - 2) - d):
                img[y][x] = RED


def arrow(img, ox):
    shape = set()
    for y in range(5, 10):          # shaft
        for x in range(5, 9):
            shape.add((x, y))
    for x in range(9, 14):          # head, narrowing to the point
        half = 13 - x
        for y in range(7 - half - 1, 7 + half + 2):
            shape.add((x, y))
    bar = {(x, y) for x in range(1, 4) for y in range(5, 10)}
    body = shape | bar
    outline = {(x + dx, y + dy) for (x, y) in body
               for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))} - body
    solid = body | outline
    for (x, y) in solid:            # shadow first, one pixel down and right
        sx, sy = x + 1, y + 1
        if (sx, sy) not in solid and 0 <= sx < 16 and 0 <= sy < HEIGHT:
            img[sy][ox + sx] = GREY
    for (x, y) in outline:
        if 0 <= x < 16 and 0 <= y < HEIGHT:
            img[y][ox + x] = BLACK
    for (x, y) in body:
        img[y][ox + x] = GREEN


def letter_p(img, ox):
    rows = ["########  ",
            "######### ",
            "##     ###",
            "##      ##",
            "##      ##",
            "##     ###",
            "######### ",
            "########  ",
            "##        ",
            "##        ",
            "##        ",
            "##        "]
    for dy, row in enumerate(rows):
        for dx, c in enumerate(row):
            if c == "#":
                img[1 + dy][ox + 3 + dx] = MAGENTA


def png(img):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = bytearray()
    for row in img:
        raw.append(0)
        for x in range(0, WIDTH, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < WIDTH else 0
            raw.append(hi << 4 | lo)
    palette = b"".join(bytes(c) for c in PALETTE) + bytes(3 * (16 - len(PALETTE)))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 4, 3, 0, 0, 0))
            + chunk(b"PLTE", palette)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def main():
    img = blank()
    ring(img, 0)
    cross(img, 16)
    arrow(img, 32)
    letter_p(img, 48)
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "images", "status.png")
    with open(out, "wb") as f:
        f.write(png(img))


if __name__ == "__main__":
    main()
