#!/usr/bin/python3
"""Generate the pictures of the framework's dialogs, in the look of the page's
ZEM logo (the blue cube mark, the orange accent).

Run from the repository root:

    /usr/bin/python3 assets/make_dialog_pictures.py

Pure Python (zlib only); the output is deterministic.

Outputs (in assets/dialog/):
    icon16.png, icon32.png   dialog icon (cube mark)
    undo.png, redo.png       16x16 arrows of the Undo and Redo buttons
    top.png                  54x43 decoration above the button column
    side_short.png           34x48 side decoration
    side_tall.png            23x96 side decoration
"""

import math
import os
import struct
import zlib

OUT_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "dialog")

CUBE_TOP = (0xE9, 0xF3, 0xFF)
CUBE_LEFT = (0x7F, 0xB2, 0xE8)
CUBE_RIGHT = (0x4A, 0x83, 0xC4)
ACCENT = (0xFF, 0xB3, 0x47)
DEEP = (0x2C, 0x4F, 0x7C)


def write_png(path, w, h, pixels):
    """pixels: list of rows of (r, g, b, a) tuples, straight alpha."""
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def inside(poly, x, y):
    hit = False
    for i in range(len(poly)):
        (x0, y0), (x1, y1) = poly[i], poly[(i + 1) % len(poly)]
        if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
            hit = not hit
    return hit


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(w)] for _ in range(h)]

    def fill(self, poly, colour, ss=4):
        for y in range(self.h):
            for x in range(self.w):
                n = sum(inside(poly, x + (i + 0.5) / ss, y + (j + 0.5) / ss) for i in range(ss) for j in range(ss))
                if n:
                    self.blend(x, y, colour, n / (ss * ss))

    def blend(self, x, y, colour, a):
        r, g, b, da = self.px[y][x]
        out = a + da * (1 - a)
        if out <= 0:
            return
        mix = [(colour[k] * a + (r, g, b)[k] * da * (1 - a)) / out for k in range(3)]
        self.px[y][x] = (mix[0], mix[1], mix[2], out)

    def save(self, name):
        rows = [[(int(round(r)), int(round(g)), int(round(b)), int(round(a * 255))) for r, g, b, a in row]
                for row in self.px]
        write_png(os.path.join(OUT_DIR, name), self.w, self.h, rows)


def cube(cv, cx, cy, s):
    """An isometric cube mark of half-width s centred at (cx, cy)."""
    h = s * 0.5
    top = [(cx, cy - s), (cx + s, cy - h), (cx, cy), (cx - s, cy - h)]
    left = [(cx - s, cy - h), (cx, cy), (cx, cy + s), (cx - s, cy + h)]
    right = [(cx, cy), (cx + s, cy - h), (cx + s, cy + h), (cx, cy + s)]
    cv.fill(top, CUBE_TOP)
    cv.fill(left, CUBE_LEFT)
    cv.fill(right, CUBE_RIGHT)


def icon(n):
    cv = Canvas(n, n)
    cube(cv, n / 2, n / 2, n * 0.46)
    cv.save("icon%d.png" % n)


def arrow(name, mirror):
    cv = Canvas(16, 16)
    pts_outer, pts_inner = [], []
    for k in range(0, 181, 10):
        t = math.radians(k)
        pts_outer.append((8 + 6 * math.cos(t), 10 - 6 * math.sin(t)))
        pts_inner.append((8 + 3.5 * math.cos(t), 10 - 3.5 * math.sin(t)))
    band = pts_outer + list(reversed(pts_inner))
    head = [(0.5, 9.0), (6.5, 9.0), (3.5, 14.0)]
    if mirror:
        band = [(16 - x, y) for x, y in band]
        head = [(16 - x, y) for x, y in head]
    cv.fill(band, CUBE_RIGHT)
    cv.fill(head, ACCENT)
    cv.save(name)


def strip(name, w, h):
    cv = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            t = y / max(1, h - 1)
            c = tuple(CUBE_LEFT[k] * (1 - t) + DEEP[k] * t for k in range(3))
            cv.px[y][x] = (c[0], c[1], c[2], 1.0)
    cv.fill([(0, h - 4), (w, h - 4), (w, h - 2), (0, h - 2)], ACCENT, ss=2)
    cube(cv, w / 2, h * 0.3, min(w, h) * 0.3)
    cv.save(name)


def top():
    w, h = 54, 43
    cv = Canvas(w, h)
    cube(cv, w / 2, h / 2 - 2, 17)
    cv.fill([(6, h - 5), (w - 6, h - 5), (w - 6, h - 3), (6, h - 3)], ACCENT, ss=2)
    cv.save("top.png")


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    icon(16)
    icon(32)
    arrow("undo.png", False)
    arrow("redo.png", True)
    top()
    strip("side_short.png", 34, 48)
    strip("side_tall.png", 23, 96)


if __name__ == "__main__":
    main()
