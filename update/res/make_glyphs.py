#!/usr/bin/env python3
"""Draws the program's four button glyphs and its window icon as 24-bit Windows bitmaps.

Run once from this folder (python3 make_glyphs.py); the bitmaps it writes are kept beside it
and built into the program. The bottom-left pixel is the background that buttons leave out.
"""
import math
import struct

BACK = (192, 192, 192)


def shape_image(size, layers, samples=4):
    """Each layer: (colour, inside(x, y) for x, y in 0..1). Later layers paint over earlier ones."""
    img = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size
                    y = (py + (sy + 0.5) / samples) / size
                    colour = BACK
                    for c, inside in layers:
                        if inside(x, y):
                            colour = c
                    for i in range(3):
                        acc[i] += colour[i]
            n = samples * samples
            row.append(tuple(round(a / n) for a in acc))
        img.append(row)
    # The corner stays pure background, so that it marks the transparent colour.
    img[size - 1][0] = BACK
    return img


def write_bmp(path, img):
    h = len(img)
    w = len(img[0])
    stride = (w * 3 + 3) & ~3
    pixels = b""
    for row in reversed(img):
        line = b"".join(bytes((b, g, r)) for (r, g, b) in row)
        pixels += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)))
        f.write(header + pixels)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def polygon(points):
    def inside(x, y):
        c = False
        n = len(points)
        for i in range(n):
            (x1, y1), (x2, y2) = points[i], points[(i + 1) % n]
            if (y1 > y) != (y2 > y) and x < (x2 - x1) * (y - y1) / (y2 - y1) + x1:
                c = not c
        return c

    return inside


def thick_line(points, width):
    def inside(x, y):
        for (x1, y1), (x2, y2) in zip(points, points[1:]):
            dx, dy = x2 - x1, y2 - y1
            t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
            if math.hypot(x - (x1 + t * dx), y - (y1 + t * dy)) <= width / 2:
                return True
        return False

    return inside


def ring(cx, cy, r, w):
    return lambda x, y: r - w / 2 <= math.hypot(x - cx, y - cy) <= r + w / 2


DARK = (0, 0, 0)
# "Sprawdź": a magnifying glass over a sheet.
check = [
    ((255, 255, 255), rect(0.12, 0.06, 0.70, 0.90)),
    ((128, 128, 128), lambda x, y: rect(0.12, 0.06, 0.70, 0.90)(x, y) and not rect(0.18, 0.12, 0.64, 0.84)(x, y)),
    ((0, 0, 128), rect(0.24, 0.22, 0.58, 0.27)),
    ((0, 0, 128), rect(0.24, 0.36, 0.50, 0.41)),
    ((200, 230, 255), circle(0.56, 0.52, 0.20)),
    ((0, 0, 0), ring(0.56, 0.52, 0.20, 0.08)),
    ((128, 64, 0), thick_line([(0.71, 0.67), (0.92, 0.90)], 0.13)),
]
# "Koniec": an open door with an arrow leading out.
exit_ = [
    ((128, 64, 0), rect(0.40, 0.06, 0.84, 0.94)),
    ((64, 32, 0), polygon([(0.40, 0.06), (0.62, 0.14), (0.62, 0.98), (0.40, 0.94)])),
    ((255, 255, 0), circle(0.57, 0.55, 0.04)),
    ((0, 128, 0), thick_line([(0.06, 0.50), (0.34, 0.50)], 0.12)),
    ((0, 128, 0), polygon([(0.02, 0.50), (0.20, 0.32), (0.20, 0.68)])),
]
# Update recommended: a warning triangle.
old = [
    ((0, 0, 0), polygon([(0.50, 0.02), (0.98, 0.94), (0.02, 0.94)])),
    ((255, 220, 0), polygon([(0.50, 0.12), (0.89, 0.88), (0.11, 0.88)])),
    ((0, 0, 0), polygon([(0.45, 0.32), (0.55, 0.32), (0.53, 0.66), (0.47, 0.66)])),
    ((0, 0, 0), circle(0.50, 0.77, 0.06)),
]
# No update needed: a green tick in a circle.
ok = [
    ((0, 100, 0), circle(0.5, 0.5, 0.48)),
    ((0, 170, 0), circle(0.5, 0.5, 0.42)),
    ((255, 255, 255), thick_line([(0.24, 0.52), (0.43, 0.72), (0.76, 0.30)], 0.14)),
]
# The window's icon: a globe with a download arrow.
icon = [
    ((0, 64, 160), circle(0.5, 0.5, 0.47)),
    ((40, 120, 220), circle(0.5, 0.5, 0.42)),
    ((120, 190, 255), ring(0.5, 0.5, 0.42, 0.03)),
    ((120, 190, 255), lambda x, y: abs(y - 0.5) < 0.015 and (x - 0.5) ** 2 + (y - 0.5) ** 2 < 0.17),
    ((255, 255, 255), rect(0.42, 0.18, 0.58, 0.55)),
    ((255, 255, 255), polygon([(0.24, 0.52), (0.76, 0.52), (0.50, 0.84)])),
]

if __name__ == "__main__":
    write_bmp("Sprawdz.bmp", shape_image(16, check))
    write_bmp("Koniec.bmp", shape_image(16, exit_))
    write_bmp("ProgramOld.bmp", shape_image(16, old))
    write_bmp("ProgramAkt.bmp", shape_image(16, ok))
    write_bmp("VL_NEW32.bmp", shape_image(32, icon))
