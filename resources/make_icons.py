#!/usr/bin/env python3
"""Draws vorn's icons and writes them as .ico files (16x16 and 32x32, 32-bit).

    python3 resources/make_icons.py [output folder]

  vorn.ico     (131) the program and its tray icon: a command prompt
  builtin.ico  (133) rows of the built-in command list: a "#" tile
  path.ico     (135) the path icon when the typed text names nothing: a folder

The pictures are painted from a few shapes in unit coordinates, 4x4 samples a
pixel, composited "over" on a transparent ground; the files are written byte by
byte (ICONDIR, entries, BITMAPINFOHEADER + BGRA rows + AND mask, bottom-up).
"""
import math
import os
import struct
import sys

SAMPLES = 4


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def hexrgb(h):
    return ((h >> 16) & 255, (h >> 8) & 255, h & 255)


# --- shapes: functions (x, y) -> inside? in unit coordinates ------------------

def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = clamp(x, x0 + r, x1 - r)
        cy = clamp(y, y0 + r, y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def segment(ax, ay, bx, by, width):
    half = width / 2.0
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = clamp(((x - ax) * dx + (y - ay) * dy) / length2) if length2 else 0.0
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half * half
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def vertical_gradient(top, bottom, y0=0.0, y1=1.0):
    return lambda x, y: mix(top, bottom, clamp((y - y0) / (y1 - y0)))


def solid(rgb):
    return lambda x, y: rgb


# --- painting -------------------------------------------------------------------

def paint(size, layers):
    """layers: list of (shape, colour function, opacity). Returns rows of RGBA."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    cr = cg = cb = ca = 0.0
                    for shape, colour, opacity in layers:
                        if shape(x, y):
                            lr, lg, lb = colour(x, y)
                            # "over" with premultiplied colour
                            cr = lr * opacity + cr * (1 - opacity)
                            cg = lg * opacity + cg * (1 - opacity)
                            cb = lb * opacity + cb * (1 - opacity)
                            ca = opacity + ca * (1 - opacity)
                    r += cr
                    g += cg
                    b += cb
                    a += ca
            n = SAMPLES * SAMPLES
            a /= n
            if a > 0:
                row.append((int(round(r / n / a)), int(round(g / n / a)),
                            int(round(b / n / a)), int(round(a * 255))))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def framed_tile(size, top, bottom, edge):
    # Edges on whole pixels keep the small sizes crisp.
    e = 1.0 / size if size <= 16 else 1.5 / size
    outer = rounded_rect(0.0, 0.0, 1.0, 1.0, 0.2)
    inner = rounded_rect(e, e, 1.0 - e, 1.0 - e, 0.2 - e)
    sheen = rounded_rect(e, e, 1.0 - e, 0.45, 0.2 - e)
    return [
        (outer, solid(edge), 1.0),
        (inner, vertical_gradient(top, bottom, e, 1.0 - e), 1.0),
        (sheen, solid((255, 255, 255)), 0.12),
    ]


def program_icon(size):
    layers = framed_tile(size, hexrgb(0x4A90D9), hexrgb(0x1F4F96), hexrgb(0x173B70))
    w = 0.12 if size <= 16 else 0.1
    chevron = union(segment(0.26, 0.30, 0.48, 0.50, w), segment(0.48, 0.50, 0.26, 0.70, w))
    cursor = rounded_rect(0.54, 0.63, 0.77, 0.63 + w, 0.01)
    layers.append((chevron, solid((255, 255, 255)), 1.0))
    layers.append((cursor, solid(hexrgb(0xBFE3FF)), 1.0))
    return paint(size, layers)


def builtin_icon(size):
    layers = framed_tile(size, hexrgb(0xF2A33A), hexrgb(0xC9661A), hexrgb(0x8F4510))
    w = 0.1 if size <= 16 else 0.085
    hash_sign = union(
        segment(0.42, 0.24, 0.36, 0.76, w), segment(0.64, 0.24, 0.58, 0.76, w),
        segment(0.25, 0.40, 0.77, 0.40, w), segment(0.23, 0.60, 0.75, 0.60, w))
    layers.append((hash_sign, solid((255, 255, 255)), 1.0))
    return paint(size, layers)


def folder_icon(size):
    edge = hexrgb(0x8C6215)
    tab_outer = rounded_rect(0.04, 0.14, 0.46, 0.40, 0.07)
    tab_inner = rounded_rect(0.09, 0.19, 0.41, 0.40, 0.04)
    back_outer = rounded_rect(0.04, 0.26, 0.96, 0.88, 0.07)
    back_inner = rounded_rect(0.09, 0.31, 0.91, 0.83, 0.04)
    front_outer = rounded_rect(0.04, 0.40, 0.96, 0.88, 0.07)
    front_inner = rounded_rect(0.09, 0.45, 0.91, 0.83, 0.04)
    paper = rounded_rect(0.16, 0.30, 0.84, 0.50, 0.02)
    return paint(size, [
        (union(tab_outer, back_outer), solid(edge), 1.0),
        (union(tab_inner, back_inner), solid(hexrgb(0xD9A23A)), 1.0),
        (paper, solid((250, 250, 246)), 1.0),
        (front_outer, solid(edge), 1.0),
        (front_inner, vertical_gradient(hexrgb(0xFBD877), hexrgb(0xE9B443), 0.45, 0.83), 1.0),
    ])


# --- ICO writing ----------------------------------------------------------------

def dib(pixels):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def write_ico(path, images):
    count = len(images)
    offset = 6 + 16 * count
    head = struct.pack('<HHH', 0, 1, count)
    entries = b''
    blobs = b''
    for pixels in images:
        blob = dib(pixels)
        size = len(pixels)
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob),
                               offset + len(blobs))
        blobs += blob
    with open(path, 'wb') as f:
        f.write(head + entries + blobs)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, draw in (('vorn.ico', program_icon), ('builtin.ico', builtin_icon),
                       ('path.ico', folder_icon)):
        write_ico(os.path.join(out, name), [draw(16), draw(32)])


if __name__ == '__main__':
    main()
