"""Writes the dialog's picture as a 24-bit BMP whose background is the key colour.

BMP file, little-endian:

| offset | size | meaning                                        |
|--------|------|------------------------------------------------|
| 0      | 2    | "BM"                                           |
| 2      | 4    | file size                                      |
| 6      | 4    | reserved, 0                                    |
| 10     | 4    | offset of the pixel rows (54)                  |
| 14     | 40   | BITMAPINFOHEADER: size 40, width, height > 0   |
|        |      | (rows bottom-up), planes 1, 24 bits, BI_RGB 0, |
|        |      | image size, 2835 px/m twice, 0 colours twice   |
| 54     | var  | rows bottom-up, B G R per pixel, each row      |
|        |      | padded to a multiple of 4 bytes                |
"""
import struct
import sys

from artwork import render

KEY = (255, 0, 255)  # the top-left pixel: shown as the dialog's background


def main(path, size=96):
    rows = render(size)
    # Half-covered edge pixels join the artwork: a blend with the key colour would
    # show as a pink fringe once the key is replaced.
    pixels = [[(p[0], p[1], p[2]) if p[3] >= 128 else KEY for p in row] for row in rows]
    stride = (size * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


if __name__ == "__main__":
    main(sys.argv[1])
