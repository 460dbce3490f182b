#!/usr/bin/env python3
"""Draws the program icon (resource 101) and writes it as a .ico file.

The picture: a blue rounded square with two arrows, one pointing right
(what is sent) over one pointing left (what is received). It is drawn from
shapes at every size, with 4x4 supersampling for smooth edges.

    make_icon.py OUT.ico
"""
import struct
import sys

SIZES = (16, 24, 32, 48, 64)
BACK_TOP = (0x2E, 0x75, 0xB6)
BACK_BOTTOM = (0x1B, 0x3F, 0x6B)
SEND = (0x7C, 0xE0, 0x6A)
RECEIVE = (0xFF, 0xB8, 0x4D)


def inside_rounded_square(x, y, radius=0.2, margin=0.03):
    lo, hi = margin, 1 - margin
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_arrow(x, y, centre_y, pointing_right):
    """A shaft with a triangular head, 0.7 wide, centred horizontally."""
    if not pointing_right:
        x = 1 - x
    shaft_half, head_half = 0.07, 0.17
    start, head_start, tip = 0.18, 0.58, 0.84
    dy = abs(y - centre_y)
    if start <= x <= head_start and dy <= shaft_half:
        return True
    if head_start <= x <= tip:
        return dy <= head_half * (tip - x) / (tip - head_start)
    return False


def colour_at(x, y):
    if inside_arrow(x, y, 0.34, True):
        return SEND + (255,)
    if inside_arrow(x, y, 0.66, False):
        return RECEIVE + (255,)
    if inside_rounded_square(x, y):
        t = y
        return tuple(round(a + (b - a) * t) for a, b in zip(BACK_TOP, BACK_BOTTOM)) + (255,)
    return (0, 0, 0, 0)


def render(size, samples=4):
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size)
                    alpha = c[3]
                    for k in range(3):
                        acc[k] += c[k] * alpha
                    acc[3] += alpha
            n = samples * samples
            a = acc[3] / n
            if acc[3]:
                rgb = [round(acc[k] / acc[3]) for k in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], round(a)))
        rows.append(row)
    return rows


def dib(rows):
    """32-bit BGRA device-independent bitmap with an AND mask, bottom-up."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main():
    images = [dib(render(s)) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
