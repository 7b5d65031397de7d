#!/usr/bin/env python3
"""Writes the toolbar strip (toolbar.bmp) and the program icon (quillon.ico) from the pixel art below.

Run it from anywhere; it writes next to itself. The outputs are committed, so a build never needs Python.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Palette letters -> RGB. '.' is the transparent key colour (RGB 192,192,192), which the toolbar's
# image list masks out.
PALETTE = {
    '.': (192, 192, 192),
    'k': (0, 0, 0),
    'w': (255, 255, 255),
    'g': (128, 128, 128),
    'b': (0, 0, 160),
    'B': (64, 128, 255),
    'G': (0, 128, 0),
    'y': (255, 224, 96),
    'r': (192, 0, 0),
    'c': (0, 160, 160),
}

# Five 16 x 15 pictures: refresh, copy, find, dump to disk, hex view.
REFRESH = [
    "................",
    "......GGGG......",
    "....GG....GG.G..",
    "...G........GG..",
    "..G........GGG..",
    "..G.......GGGG..",
    ".G..............",
    ".G.............G",
    ".G.............G",
    "..............G.",
    "..GGGG.......G..",
    "..GGG........G..",
    "..GG........G...",
    "..G.GG....GG....",
    "......GGGG......",
]
COPY = [
    "................",
    "kkkkkkk.........",
    "kwwwwwkk........",
    "kwkkkwkwk.......",
    "kwwwwwkkkkkkk...",
    "kwkkkkkwwwwwkk..",
    "kwwwwwkwkkkwkwk.",
    "kwkkkkkwwwwwkkkk",
    "kwwwwwkwkkkkkwwk",
    "kkkkkkkwwwwwwwwk",
    ".......wkkkkkkwk",
    ".......kwwwwwwwk",
    ".......kwkkkkkwk",
    ".......kwwwwwwwk",
    ".......kkkkkkkkk",
]
FIND = [
    "................",
    "....kkkk........",
    "..kkBBBBkk......",
    ".kBBwwBBBBk.....",
    ".kBwwBBBBBk.....",
    "kBBwBBBBBBBk....",
    "kBBBBBBBBBBk....",
    "kBBBBBBBBBBk....",
    ".kBBBBBBBBk.....",
    ".kBBBBBBBBk.....",
    "..kkBBBBkkkk....",
    "....kkkk.kkkk...",
    "..........kkkk..",
    "...........kkkk.",
    "............kk..",
]
DUMP = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kbbkwwwwwwkbbk.",
    ".kbbkwwwwwwkbbk.",
    ".kbbkwwwwwwkbbk.",
    ".kbbkwwwwwwkbbk.",
    ".kbbbkkkkkkbbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbkkkkkkkkbbk.",
    ".kbbkggggkwkbbk.",
    ".kbbkggggkwkbbk.",
    ".kbbkggggkwkbbk.",
    ".kbbkggggggkbbk.",
    "..kkkkkkkkkkkkk.",
    "................",
]
HEXVIEW = [
    "................",
    "kkkkkkkkkkkkkkkk",
    "kwwwwwwwwwwwwwwk",
    "kwrrwrwwrwwcwcwk",
    "kwrwrrwwrrwcwcwk",
    "kwrrwrwwrwwccwwk",
    "kwwwwwwwwwwwwwwk",
    "kwrwwrrwrrwcwcwk",
    "kwrrwwrwrwwccwwk",
    "kwrwwrrwrrwcwcwk",
    "kwwwwwwwwwwwwwwk",
    "kwrrwrwwrrwcwcwk",
    "kwwwwwwwwwwwwwwk",
    "kkkkkkkkkkkkkkkk",
    "................",
]

ICON16 = [
    "................",
    ".....bbbbbb.....",
    "...bbBBBBBBbb...",
    "..bBBwwwwwwBBb..",
    ".bBBwwBBBBwwBBb.",
    ".bBwwBBBBBBwwBb.",
    "bBBwBBBBBBBBwBBb",
    "bBBwBBBBBBBBwBBb",
    "bBBwBBBBBBBBwBBb",
    "bBBwBBBBwBBBwBBb",
    ".bBwwBBBBwBwwBb.",
    ".bBBwwBBBBwwBBb.",
    "..bBBwwwwwwwwBb.",
    "...bbBBBBBBbbwBb",
    ".....bbbbbb...bb",
    "................",
]

def write_toolbar(path):
    images = [REFRESH, COPY, FIND, DUMP, HEXVIEW]
    width, height = 16 * len(images), 15
    keys = list(PALETTE.keys())
    rows = []
    for y in range(height):
        row = bytearray()
        for art in images:
            row.extend(keys.index(ch) for ch in art[y])
        row.extend(b"\0" * ((4 - len(row) % 4) % 4))
        rows.append(bytes(row))
    pixels = b"".join(reversed(rows))  # bottom-up
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE.values())
    palette += b"\0" * (256 * 4 - len(palette))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)

def icon_image(art, scale):
    size = 16 * scale
    xor = bytearray()
    and_rows = []
    for y in reversed(range(size)):
        mask_bits = 0
        line = art[y // scale]
        bits = []
        for x in range(size):
            ch = line[x // scale]
            if ch == '.':
                xor.extend(b"\0\0\0\0")
                bits.append(1)
            else:
                r, g, b = PALETTE[ch]
                xor.extend(struct.pack("<BBBB", b, g, r, 255))
                bits.append(0)
        row = bytearray()
        for i in range(0, size, 8):
            byte = 0
            for bit in bits[i:i + 8]:
                byte = (byte << 1) | bit
            row.append(byte)
        row.extend(b"\0" * ((4 - len(row) % 4) % 4))
        and_rows.append(bytes(row))
        del mask_bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return size, info + bytes(xor) + b"".join(and_rows)

def write_icon(path):
    images = [icon_image(ICON16, 2), icon_image(ICON16, 1)]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    blobs = b""
    for size, blob in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset + len(blobs))
        blobs += blob
    with open(path, "wb") as f:
        f.write(header + entries + blobs)

if __name__ == "__main__":
    for art in (REFRESH, COPY, FIND, DUMP, HEXVIEW, ICON16):
        assert all(len(line) == 16 for line in art), art
    write_toolbar(os.path.join(HERE, "toolbar.bmp"))
    write_icon(os.path.join(HERE, "quillon.ico"))
