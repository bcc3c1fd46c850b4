#!/usr/bin/env python3
"""Draws the program icon (a keycap with a kestrel-orange "K") and writes kestrine.ico
with 16x16 and 32x32 images, 32 bits per pixel. With the second argument "sample" it draws
the icon of the sample input method (resources/samples/sample.ico) instead. Run it again after changing the drawing;
the .ico it writes is kept in the repository beside this script."""
import struct
import sys

CAP = (0x2E, 0x4A, 0x6B)       # keycap face, slate blue
EDGE = (0x1B, 0x2C, 0x40)      # keycap border
SHADE = (0x24, 0x3A, 0x55)     # lower rim of the cap
LETTER = (0xF2, 0x8C, 0x28)    # kestrel orange
WHITE = (0xF4, 0xF4, 0xF0)


def inside_rounded(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def letter_k(u, v):
    """The letter K in a unit square (u, v in 0..1): a stem and two arms."""
    stem = 0.18 <= u <= 0.36 and 0.1 <= v <= 0.9
    # upper arm: from (0.36, 0.52) to (0.82, 0.1); lower arm: from (0.42, 0.45) to (0.84, 0.9)
    def near(ax, ay, bx, by, w):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((u - ax) * dx + (v - ay) * dy) / (dx * dx + dy * dy)))
        px, py = ax + t * dx, ay + t * dy
        return (u - px) ** 2 + (v - py) ** 2 <= w * w
    upper = near(0.34, 0.56, 0.80, 0.12, 0.095)
    lower = near(0.44, 0.44, 0.82, 0.88, 0.095)
    return stem or upper or lower


def pixel(x, y, size):
    s = size / 32.0
    fx, fy = (x + 0.5) / s, (y + 0.5) / s  # in 32-pixel units
    if not inside_rounded(fx, fy, 1, 1, 31, 31, 6):
        return None
    if not inside_rounded(fx, fy, 2.2, 2.2, 29.8, 29.8, 5):
        return EDGE
    if fy > 25.5:
        return SHADE
    if inside_rounded(fx, fy, 5, 4, 27, 24, 4):
        u, v = (fx - 7) / 18.0, (fy - 5) / 18.0
        if 0 <= u <= 1 and 0 <= v <= 1 and letter_k(u, v):
            return LETTER
        if fy < 6.0:
            return tuple(min(255, c + 24) for c in CAP)
        return CAP
    return SHADE if fy > 22 else CAP


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up, as in a BMP
        row = b""
        for x in range(size):
            p = pixel(x, y, size)
            row += b"\0\0\0\0" if p is None else bytes((p[2], p[1], p[0], 255))
        rows.append(row)
    xor = b"".join(rows)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for y in range(size - 1, -1, -1):
        line = bytearray(mask_stride)
        for x in range(size):
            if pixel(x, y, size) is None:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def main(path, variant="program"):
    global LETTER, CAP
    if variant == "sample":  # the sample input method's icon: green letter on a grey cap
        LETTER, CAP = (0x5C, 0xC8, 0x4A), (0x4A, 0x4E, 0x56)
    sizes = [16, 32]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "kestrine.ico", sys.argv[2] if len(sys.argv) > 2 else "program")
