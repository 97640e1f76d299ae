#!/usr/bin/env python3
"""Builds a 32 x 32, 4 bits-per-pixel .ico from the text-art pixel map in icon.txt.

usage: make_icon.py icon.txt out.ico
"""
import struct
import sys

SIZE = 32


def read_art(path):
    palette = {}
    rows = []
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            if line.startswith("palette "):
                _, char, rgb = line.split()
                palette[char] = int(rgb, 16)
            else:
                rows.append(line)
    if len(palette) > 16:
        sys.exit(f"{path}: {len(palette)} colours, a 4-bit icon holds 16")
    if len(rows) != SIZE or any(len(r) != SIZE for r in rows):
        sys.exit(f"{path}: the pixel map must be {SIZE} rows of {SIZE} characters")
    unknown = {c for r in rows for c in r} - palette.keys()
    if unknown:
        sys.exit(f"{path}: no palette entry for {sorted(unknown)}")
    return palette, rows


def icon_bytes(palette, rows):
    chars = list(palette)
    index = {c: i for i, c in enumerate(chars)}
    colours = [palette[c] for c in chars] + [0] * (16 - len(chars))

    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    # RGBQUAD is blue, green, red, reserved.
    table = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0) for c in colours)
    # Bitmaps are stored bottom row first; two pixels per byte, high nibble first.
    xor = bytearray()
    for row in reversed(rows):
        for x in range(0, SIZE, 2):
            xor.append(index[row[x]] << 4 | index[row[x + 1]])
    # Every pixel opaque: the mask is all zeros (rows of 32 bits, already 4-byte aligned).
    mask = bytes(SIZE * SIZE // 8)
    image = header + table + bytes(xor) + mask

    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return icondir + entry + image


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    palette, rows = read_art(sys.argv[1])
    with open(sys.argv[2], "wb") as f:
        f.write(icon_bytes(palette, rows))


if __name__ == "__main__":
    main()
