#!/usr/bin/env python3
"""Draws the application icon (ovpatch.ico): a blue disc with a white tick, in the standard
16-colour palette, as a 32x32 and a 16x16 image. Run it again after changing the drawing; the
generated file is committed so the build needs no Python."""
import math
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
NAVY, BLUE, WHITE, SILVER = 4, 12, 15, 7
TRANSPARENT = None

# The tick, in units of a 32-pixel icon.
TICK = [(8.5, 16.5), (13.5, 21.5), (23.5, 10.5)]


def distance_to_segment(px, py, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def pixel(x, y, size):
    """Colour index of pixel (x, y) of a size x size image, or TRANSPARENT."""
    scale = 32.0 / size
    cx, cy = (x + 0.5) * scale, (y + 0.5) * scale
    r = math.hypot(cx - 16.0, cy - 16.0)
    if r > 15.6:
        return TRANSPARENT
    tick = min(distance_to_segment(cx, cy, TICK[i], TICK[i + 1]) for i in range(len(TICK) - 1))
    if tick <= 2.2:
        return WHITE
    if r > 13.8:
        return NAVY
    if tick <= 3.2 and size == 32:
        return SILVER  # a soft edge around the tick at the large size
    return BLUE


def icon_image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    colour_rows, mask_rows = [], []
    for y in reversed(range(size)):  # bitmaps are stored bottom-up
        row = [pixel(x, y, size) for x in range(size)]
        nibbles = [0 if c is TRANSPARENT else c for c in row]
        colour = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        colour_rows.append(colour + b"\0" * (-len(colour) % 4))
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c is TRANSPARENT else 0)
        mask = bits.to_bytes(size // 8, "big")
        mask_rows.append(mask + b"\0" * (-len(mask) % 4))
    return header + palette + b"".join(colour_rows) + b"".join(mask_rows)


def main(out_path):
    images = [icon_image(32), icon_image(16)]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in zip((32, 16), images):
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(out_path, "wb") as f:
        f.write(directory + entries + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "ovpatch.ico")
