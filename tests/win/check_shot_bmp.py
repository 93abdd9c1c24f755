"""Reads the BMP the screenshot test saved and compares it with the pattern
the test showed on the screen.

    check_shot_bmp.py SAVED.bmp SAVED.area

The area file holds the saved zone as "left top width height"; the pattern is
the one of tests/win/shot_win_test.cpp: red and green are the low bytes of the
screen x and y, blue holds their high bits.
"""
import struct
import sys

from PIL import Image


def pattern(x, y):
    return (x & 0xFF, y & 0xFF, ((x >> 8) << 4 | (y >> 8)) & 0xFF)


def main(bmp_path, area_path):
    left, top, width, height = map(int, open(area_path).read().split())
    data = open(bmp_path, "rb").read()
    magic, file_size, offset, info_size, w, h, planes, bits, compression, image_size = struct.unpack_from(
        "<2sI4xIIiiHHII", data)
    row = (w * bits + 31) // 32 * 4
    header = dict(magic=magic, file_size=file_size, offset=offset, info_size=info_size, w=w, h=h, planes=planes,
                  bits=bits, compression=compression, image_size=image_size)
    want = dict(magic=b"BM", file_size=len(data), offset=54, info_size=40, w=width, h=height, planes=1,
                bits=bits if bits in (16, 24, 32) else "16, 24 or 32", compression=0, image_size=row * height)
    if header != want:
        sys.exit(f"header {header} is not {want}")
    if len(data) != 54 + row * height:
        sys.exit(f"{len(data)} bytes for {row} x {height} bytes of rows")

    image = Image.open(bmp_path)
    if image.format != "BMP" or image.size != (width, height):
        sys.exit(f"read as {image.format} {image.size}")
    pixels = image.convert("RGB").load()
    wrong = [(x, y) for y in range(height) for x in range(width) if pixels[x, y] != pattern(left + x, top + y)]
    if wrong:
        x, y = wrong[0]
        sys.exit(f"{len(wrong)} pixels differ; first at {x},{y}: {pixels[x, y]} for {pattern(left + x, top + y)}")
    print(f"{bmp_path}: {width} x {height} at {bits} bits, pixels equal the capture")


if __name__ == "__main__":
    main(*sys.argv[1:])
