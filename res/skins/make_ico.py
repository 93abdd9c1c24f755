#!/usr/bin/env python3
"""Packs PNG renderings into an .ico file: make_ico.py OUT.ico IN.png...

Each image is stored the classic way (a 32-bit BITMAPINFOHEADER image with its
AND mask), not as embedded PNG: the program copies its own icon group into
the shortcut icon file and reads each image's bitmap header.
"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(f"{path}: not a PNG")
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunk)
            if depth != 8 or colour != 6 or interlace:
                raise SystemExit(f"{path}: expected 8-bit RGBA, not interlaced")
        elif kind == b"IDAT":
            idat += chunk
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 4
    rows, prev = [], bytearray(stride)
    for y in range(height):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return width, height, rows


def icon_image(width, height, rows):
    xor = bytearray()
    for row in reversed(rows):  # bottom-up
        for x in range(width):
            r, g, b, a = row[4 * x:4 * x + 4]
            xor += bytes((b, g, r, a))
    mask_stride = (width + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x in range(width):
            if row[4 * x + 3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def main():
    out, inputs = sys.argv[1], sys.argv[2:]
    images = [(w, h, icon_image(w, h, rows)) for w, h, rows in (read_png(p) for p in inputs)]
    blob = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for w, h, data in images:
        blob += struct.pack("<BBBBHHII", w & 255, h & 255, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        blob += data
    with open(out + ".tmp", "wb") as f:
        f.write(blob)
    import os
    os.replace(out + ".tmp", out)


if __name__ == "__main__":
    main()
