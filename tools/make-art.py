#!/usr/bin/env python3
"""Draws the installer's built-in pictures (24-bit BMP, original art).

Usage: make-art.py OUT.bmp WIDTH HEIGHT STYLE [LABEL-HUE]
STYLE: "sky" (progress backdrop), "panel" (finished-dialog side picture) or
"dusk" (setup's side picture).
Also used by the sample distribution for its backdrops ("band" style, a hue).
"""
import math
import struct
import sys


def write_bmp(path, width, height, pixel):
    row_pad = (4 - (width * 3) % 4) % 4
    size = (width * 3 + row_pad) * height
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 54 + size, 0, 0, 54))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, size, 2835, 2835, 0, 0))
        for y in range(height - 1, -1, -1):  # bottom-up rows
            row = bytearray()
            for x in range(width):
                r, g, b = pixel(x, y)
                row += bytes((b, g, r))
            f.write(bytes(row) + b"\0" * row_pad)


def clamp(v):
    return max(0, min(255, int(v)))


def sky(w, h):
    def px(x, y):
        t = y / h
        r, g, b = 40 + 120 * t, 70 + 110 * t, 140 + 80 * (1 - t)
        # a soft sun and rolling hills
        d = math.hypot(x - w * 0.72, y - h * 0.28)
        if d < h * 0.09:
            r, g, b = 255, 236, 170
        elif d < h * 0.14:
            k = (d - h * 0.09) / (h * 0.05)
            r, g, b = r + (255 - r) * (1 - k), g + (236 - g) * (1 - k), b + (170 - b) * (1 - k)
        hill = h * (0.72 + 0.05 * math.sin(x / w * 6.0) + 0.03 * math.sin(x / w * 17.0))
        if y > hill:
            k = (y - hill) / (h - hill + 1)
            r, g, b = 40 + 30 * k, 120 - 40 * k, 60 - 20 * k
        return clamp(r), clamp(g), clamp(b)
    return px


def panel(w, h):
    def px(x, y):
        t = y / h
        stripe = 18 if (x + y) // 24 % 2 else 0
        return clamp(230 - 60 * t + stripe), clamp(220 - 40 * t + stripe), clamp(250 - 20 * t)
    return px


def dusk(w, h):
    def px(x, y):
        t = y / h
        r, g, b = 70 + 150 * t, 50 + 70 * t, 120 - 40 * t
        # a crescent moon and a row of slender towers
        d = math.hypot(x - w * 0.3, y - h * 0.2)
        if d < w * 0.12 and math.hypot(x - w * 0.35, y - h * 0.18) > w * 0.1:
            r, g, b = 250, 240, 200
        for i in range(5):
            cx = w * (0.12 + 0.19 * i)
            top = h * (0.55 + 0.08 * math.sin(i * 2.3))
            if abs(x - cx) < w * 0.035 and y > top:
                r, g, b = 30 + 8 * i, 25, 50
        return clamp(r), clamp(g), clamp(b)
    return px


def band(w, h, hue):
    base = [(200, 80, 80), (80, 160, 90), (70, 110, 200), (200, 160, 60), (150, 90, 180)][hue % 5]
    def px(x, y):
        k = 0.6 + 0.4 * (x / w)
        on = (x // 40 + y // 40) % 2
        return tuple(clamp(c * k + (25 if on else 0)) for c in base)
    return px


def main():
    out, w, h, style = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    hue = int(sys.argv[5]) if len(sys.argv) > 5 else 0
    pixel = {"sky": lambda: sky(w, h), "panel": lambda: panel(w, h), "dusk": lambda: dusk(w, h), "band": lambda: band(w, h, hue)}[style]()
    write_bmp(out, w, h, pixel)


if __name__ == "__main__":
    main()
