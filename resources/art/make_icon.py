"""Writes the program's icon file with six images: 16x16 at 8 and 24 bits,
32x32 at 8 and 32 bits, 48x48 at 8 and 32 bits.

ICO file, little-endian:

| offset    | size | meaning                                            |
|-----------|------|----------------------------------------------------|
| 0         | 2    | reserved, 0                                        |
| 2         | 2    | type, 1 = icon                                     |
| 4         | 2    | number of images                                   |
| 6 + 16*i  | 1    | width (0 means 256)                                |
| 7 + 16*i  | 1    | height                                             |
| 8 + 16*i  | 1    | palette colours, 0 when 256 or more                |
| 9 + 16*i  | 1    | reserved, 0                                        |
| 10 + 16*i | 2    | planes, 1                                          |
| 12 + 16*i | 2    | bits per pixel                                     |
| 14 + 16*i | 4    | size of the image data                             |
| 18 + 16*i | 4    | offset of the image data                           |

Each image: a BITMAPINFOHEADER (40 bytes) whose height is twice the image's,
the palette (256 entries B G R 0) for 8 bits, the colour rows bottom-up, then
the 1-bit AND mask rows bottom-up (1 = transparent); every row is padded to a
multiple of 4 bytes. At 32 bits the alpha byte carries the transparency.
"""
import struct
import sys

from artwork import render

IMAGES = [(16, 8), (16, 24), (32, 8), (32, 32), (48, 8), (48, 32)]


def palette(colours, count=256):
    """An adaptive palette by median cut: boxes of colours split at the median of
    their widest channel until there are `count` of them, each giving its mean."""
    boxes = [sorted(set(colours))]
    while len(boxes) < count:
        box = max(boxes, key=lambda b: (len(b) > 1, max(
            max(c[i] for c in b) - min(c[i] for c in b) for i in range(3))))
        if len(box) < 2:
            break
        channel = max(range(3), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box.sort(key=lambda c: c[channel])
        half = len(box) // 2
        boxes.remove(box)
        boxes += [box[:half], box[half:]]
    entries = [tuple(round(sum(c[i] for c in b) / len(b)) for i in range(3)) for b in boxes]
    return entries + [(0, 0, 0)] * (count - len(entries))


def nearest(table, colour):
    return min(range(len(table)), key=lambda i: sum(
        (a - b) ** 2 for a, b in zip(table[i], colour)))


def padded(line):
    return line + b"\0" * (-len(line) % 4)


def image(size, bits):
    rows = render(size)
    opaque = [[p[3] >= 128 for p in row] for row in rows]
    table = palette([p[:3] for row in rows for p in row if p[3] >= 128]) if bits == 8 else []
    index = {}
    colour = bytearray()
    for row, solid in zip(reversed(rows), reversed(opaque)):
        line = bytearray()
        for (r, g, b, a), keep in zip(row, solid):
            if bits == 32:
                line += bytes((b, g, r, a))
            elif bits == 24:
                line += bytes((b, g, r) if keep else (0, 0, 0))
            else:
                if keep and (r, g, b) not in index:
                    index[(r, g, b)] = nearest(table, (r, g, b))
                line.append(index[(r, g, b)] if keep else 0)
        colour += padded(bytes(line))
    mask = bytearray()
    for solid in reversed(opaque):
        line = bytearray((size + 7) // 8)
        for x, keep in enumerate(solid):
            if not keep:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += padded(bytes(line))
    colours = 256 if bits == 8 else 0
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(colour) + len(mask), 0, 0, colours, 0)
    entries = b"".join(bytes((b, g, r, 0)) for r, g, b in table)
    return header + entries + bytes(colour) + bytes(mask)


def main(path):
    blobs = [image(size, bits) for size, bits in IMAGES]
    out = struct.pack("<HHH", 0, 1, len(IMAGES))
    offset = 6 + 16 * len(IMAGES)
    for (size, bits), blob in zip(IMAGES, blobs):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


if __name__ == "__main__":
    main(sys.argv[1])
