#!/usr/bin/env python3
"""Opens the images write_bmp_samples makes with a reader of its own, written
from the published BMP file format (BITMAPFILEHEADER, BITMAPINFOHEADER, an
RGBQUAD colour table, rows padded to 4 bytes, positive height = bottom-up),
and checks their size, depth, colours and first pixels.

usage: read_bmp_samples.py DIRECTORY WRITER [LAUNCHER...]
"""
import os
import struct
import subprocess
import sys

# n -> (width, height) the stored layout gives
EXPECTED = {1: (32, 1), 5: (32, 2), 100: (32, 25), 128: (32, 33), 1000: (64, 126), 65536: (704, 745)}
RED = (0xFF, 0x00, 0x00)
BLUE = (0x00, 0x00, 0xFF)


def sample_byte(i, n):
    return (i * 29 + n) & 255


def read_bmp(path):
    with open(path, "rb") as f:
        blob = f.read()
    file_type, file_size, _, _, pixel_offset = struct.unpack_from("<2sIHHI", blob, 0)
    (info_size, width, height, planes, bit_count, compression, image_size,
     _, _, colours_used, _) = struct.unpack_from("<IiiHHIIiiII", blob, 14)
    if colours_used == 0 and bit_count <= 8:
        colours_used = 1 << bit_count
    palette = []
    for k in range(colours_used):
        blue, green, red, _ = struct.unpack_from("<BBBB", blob, 14 + info_size + 4 * k)
        palette.append((red, green, blue))
    stride = (width * bit_count + 31) // 32 * 4
    rows = abs(height)

    def pixel(x, y):  # y counts from the top of the picture
        row = rows - 1 - y if height > 0 else y
        byte = blob[pixel_offset + row * stride + x * bit_count // 8]
        index = (byte >> (7 - x % 8)) & 1
        return palette[index]

    return dict(type=file_type, file_size=file_size, length=len(blob), offset=pixel_offset,
                info_size=info_size, width=width, height=height, planes=planes,
                bit_count=bit_count, compression=compression, image_size=image_size,
                palette=palette, stride=stride, pixel=pixel)


def check(n, bmp, problems):
    def expect(what, got, want):
        if got != want:
            problems.append(f"{n} bytes: {what} is {got!r}, expected {want!r}")

    width, height = EXPECTED[n]
    expect("signature", bmp["type"], b"BM")
    expect("info header size", bmp["info_size"], 40)
    expect("width", bmp["width"], width)
    expect("height", bmp["height"], height)
    expect("planes", bmp["planes"], 1)
    expect("bits per pixel", bmp["bit_count"], 1)
    expect("compression", bmp["compression"], 0)
    expect("palette", bmp["palette"], [BLUE, RED])
    expect("file holds every row", bmp["length"] >= bmp["offset"] + bmp["stride"] * abs(height), True)
    if problems:
        return
    # The data starts at the left of the bottom row, most significant bit first.
    bottom = height - 1
    for x in range(min(64, width, 8 * n)):
        bit = (sample_byte(x // 8, n) >> (7 - x % 8)) & 1
        expect(f"pixel ({x}, bottom)", bmp["pixel"](x, bottom), RED if bit else BLUE)
    # Past the data the rows are padding: background.
    last_row_start = (n * 8 // width) * width
    if n * 8 < width * height:
        y = bottom - (n * 8) // width
        x = n * 8 - last_row_start
        expect(f"padding pixel ({x}, {y})", bmp["pixel"](x, y), BLUE)


def main():
    directory, writer, launcher = sys.argv[1], sys.argv[2], sys.argv[3:]
    os.makedirs(directory, exist_ok=True)
    subprocess.run(launcher + [writer, directory], check=True)
    problems = []
    for n in EXPECTED:
        check(n, read_bmp(os.path.join(directory, f"sample_{n}.bmp")), problems)
    for problem in problems:
        print(problem)
    if problems:
        sys.exit(1)
    print(f"{len(EXPECTED)} images read back")


if __name__ == "__main__":
    main()
