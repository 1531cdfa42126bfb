#!/usr/bin/env python3
"""Draws the program's icon: a database drum with a green tick, 64x64 pixels,
32 bits per pixel with alpha, written as a one-image .ico.

Run it only to change the artwork; the build uses the committed cleaner.ico.
Usage: draw_icon.py OUTPUT.ico
"""
import struct
import sys

SIZE = 64
SAMPLES = 4  # per axis, for smooth edges


def inside_drum(x, y):
    """The database drum: a cylinder with two rings, seen slightly from above."""
    cx, rx, ry = 28.0, 22.0, 7.0
    top, bottom = 10.0, 50.0
    dx = (x - cx) / rx
    if abs(dx) > 1.0:
        return None
    half = ry * (1.0 - dx * dx) ** 0.5
    if top - half <= y <= top + half:
        return (150, 200, 255)  # lid
    if top <= y <= bottom + half:
        for ring in (23.0, 36.0):
            if ring + half - 1.2 <= y <= ring + half + 1.2:
                return (20, 60, 140)  # ring
        shade = int(60 + 60 * (1.0 - abs(dx)))
        return (30, shade + 40, 200)  # body
    return None


def near_segment(x, y, ax, ay, bx, by, width):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
    px, py = ax + t * vx, ay + t * vy
    return (x - px) ** 2 + (y - py) ** 2 <= width * width


def near_tick(x, y, width):
    """A tick of two strokes in the lower right."""
    return near_segment(x, y, 36, 44, 44, 53, width) or near_segment(x, y, 44, 53, 59, 32, width)


def sample(x, y):
    if near_tick(x, y, 4.5):
        return (40, 170, 60, 255)
    if near_tick(x, y, 6.5):
        return (255, 255, 255, 255)
    colour = inside_drum(x, y)
    if colour:
        return colour + (255,)
    return (0, 0, 0, 0)


def pixel(px, py):
    total = [0, 0, 0, 0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            r, g, b, a = sample(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            total[0] += r * a
            total[1] += g * a
            total[2] += b * a
            total[3] += a
    alpha = total[3] / (SAMPLES * SAMPLES)
    if total[3] == 0:
        return (0, 0, 0, 0)
    return tuple(int(round(c / total[3])) for c in total[:3]) + (int(round(alpha)),)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    rows = []
    for py in reversed(range(SIZE)):  # bottom-up, as in a bitmap
        row = bytearray()
        for px in range(SIZE):
            r, g, b, a = pixel(px, py)
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    colour = b"".join(rows)
    mask = bytes(SIZE * SIZE // 8)  # all visible: alpha decides
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(sys.argv[1], "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main()
