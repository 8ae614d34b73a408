#!/usr/bin/python3
"""Writes the module's icon: one 32 by 32 image in 16 colours, drawn here.

The picture is a white Z on a blue tile with a dark edge, the corners left
transparent. Usage: make_icon.py OUTPUT.ico
"""
import struct
import sys

SIZE = 32

# The sixteen colours of the classic palette, as (blue, green, red, 0).
PALETTE = [
    (0x00, 0x00, 0x00), (0x00, 0x00, 0x80), (0x00, 0x80, 0x00), (0x00, 0x80, 0x80),
    (0x80, 0x00, 0x00), (0x80, 0x00, 0x80), (0x80, 0x80, 0x00), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0x00, 0x00, 0xFF), (0x00, 0xFF, 0x00), (0x00, 0xFF, 0xFF),
    (0xFF, 0x00, 0x00), (0xFF, 0x00, 0xFF), (0xFF, 0xFF, 0x00), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_BLUE, BLUE, WHITE = 0, 4, 12, 15


def pixel(x, y):
    """Colour index and transparency of the pixel at column x, row y (top row 0)."""
    corner = min(x, SIZE - 1 - x) + min(y, SIZE - 1 - y) < 3
    if corner:
        return BLACK, True
    if x in (0, SIZE - 1) or y in (0, SIZE - 1):
        return DARK_BLUE, False
    inside = 6 <= x <= 25 and 6 <= y <= 25
    bar = inside and (y <= 9 or y >= 22)
    diagonal = inside and abs((x - 6) - (25 - y)) <= 2
    return (WHITE if bar or diagonal else BLUE), False


def image():
    xor_rows, and_rows = [], []
    for y in reversed(range(SIZE)):  # bitmaps run bottom-up
        colours = [pixel(x, y) for x in range(SIZE)]
        xor_rows.append(bytes((colours[x][0] << 4) | colours[x + 1][0] for x in range(0, SIZE, 2)))
        mask = 0
        for x in range(SIZE):
            mask = (mask << 1) | (1 if colours[x][1] else 0)
        and_rows.append(struct.pack(">I", mask))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0,
                         SIZE * SIZE // 2 + SIZE * 4, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def main():
    data = image()
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(data), 6 + 16)
    with open(sys.argv[1], "wb") as out:
        out.write(directory + entry + data)


if __name__ == "__main__":
    main()
