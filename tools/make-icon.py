#!/usr/bin/env python3
"""Draws the program's icon, a spool of red thread with a loose end, and writes it twice:

  resources/skeinerward.ico  one 32x32 image, 16 colours (4-bit BMP with its AND mask)
  resources/skeinerward.png  the same pixels as 32x32 RGBA, for desktops that take PNG

Only the standard library is used, and the output is the same byte for byte on every run, so the
committed files can be checked by running the script again.
"""

import struct
import zlib
from pathlib import Path

SIZE = 32

# The 16 colours every display can show, in the order Windows lists them.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, OLIVE, GREY, RED, YELLOW, WHITE = 0, 1, 3, 8, 9, 11, 15
CLEAR = None  # shows the background through the AND mask


def draw():
    """The picture as rows of palette indexes (CLEAR for see-through), top row first."""
    image = [[CLEAR] * SIZE for _ in range(SIZE)]

    def put(x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            image[y][x] = colour

    def flange(top):
        # A wooden disc seen from the side: a bar with rounded ends, lit from above.
        for y in range(top, top + 5):
            inset = 1 if y in (top, top + 4) else 0
            for x in range(4 + inset, 28 - inset):
                edge = y in (top, top + 4) or x in (4 + inset, 27 - inset)
                lit = y == top + 1
                put(x, y, BLACK if edge else YELLOW if lit else OLIVE)

    # The thread wound on the core in close turns, with a shine down its left side.
    for y in range(8, 24):
        for x in range(7, 25):
            if x in (7, 24):
                colour = BLACK
            elif (y + (x - 7) // 9) % 3 == 0:
                colour = DARK_RED
            elif x == 10:
                colour = WHITE
            else:
                colour = RED
            put(x, y, colour)
    flange(3)
    flange(24)
    # The hole through the spool's core, on the top disc.
    for x in range(13, 19):
        put(x, 5, BLACK)
    for x in range(14, 18):
        put(x, 4, GREY)

    # The loose end, falling from the thread past the lower disc and curling away.
    tail = [(25, 15), (26, 16), (27, 17), (28, 18), (28, 19), (29, 20), (29, 21), (29, 22),
            (29, 23), (29, 24), (29, 25), (29, 26), (28, 27), (28, 28), (27, 29), (26, 30),
            (25, 30), (24, 30), (23, 31), (22, 31)]
    for x, y in tail:
        put(x, y, DARK_RED)
    return image


def ico_bytes(image):
    # Both bitmaps run bottom row first; a row of 32 pixels is 16 bytes of colour, 4 of mask.
    colour_rows = bytearray()
    mask_rows = bytearray()
    for row in reversed(image):
        for x in range(0, SIZE, 2):
            high, low = (0 if p is CLEAR else p for p in row[x:x + 2])
            colour_rows.append(high << 4 | low)
        bits = 0
        for p in row:
            bits = bits << 1 | (1 if p is CLEAR else 0)
        mask_rows += bits.to_bytes(SIZE // 8, "big")
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    # The height counts the colour bitmap and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0,
                         len(colour_rows) + len(mask_rows), 0, 0, 0, 0)
    bitmap = header + palette + bytes(colour_rows) + bytes(mask_rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, len(PALETTE), 0, 1, 4, len(bitmap),
                        len(directory) + 16)
    return directory + entry + bitmap


def png_bytes(image):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = bytearray()
    for row in image:
        raw.append(0)  # no filter
        for p in row:
            raw += bytes((0, 0, 0, 0)) if p is CLEAR else bytes(PALETTE[p] + (255,))
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main():
    resources = Path(__file__).resolve().parent.parent / "resources"
    image = draw()
    (resources / "skeinerward.ico").write_bytes(ico_bytes(image))
    (resources / "skeinerward.png").write_bytes(png_bytes(image))


if __name__ == "__main__":
    main()
