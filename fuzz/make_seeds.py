#!/usr/bin/env python3
"""Writes the small seed corpus in corpus/rle and corpus/bmp: a few streams
and images in the stored layouts, well-formed and damaged."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def stream(encoded, count=None):
    return b"RZ\x01\x00" + struct.pack("<I", len(encoded) if count is None else count) + encoded


def image(data, width, height, offset=62, recorded=None):
    size = len(data) if recorded is None else recorded
    header = struct.pack("<2sIHHI", b"BM", len(data) + 62, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, size, 0, 0, 0, 0)
    palette = bytes([0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0])
    pixels = data + bytes(height * width // 8 - len(data))
    return header + info + palette + pixels


SEEDS = {
    "rle": {
        "pair_count": stream(bytes([0x41, 0x41, 0x01, 0x42])),
        "long_run": stream(bytes([0x41, 0x41, 0xFF, 0x41, 0x41, 0x29])),
        "ff_literal": stream(bytes([0x41, 0x41, 0x00, 0xFF, 0x43])),
        "ff_after_full": stream(bytes([0x41, 0x41, 0xFF, 0xFF, 0x05, 0x42])),
        "pair_at_end": stream(bytes([0x43, 0x41, 0x41])),
        "count_too_big": stream(bytes([0x41, 0x41, 0x05]), 9),
        "text": b"The quick brown fox jumps over the lazy dog.\n",
    },
    "bmp": {
        "five_bytes": image(b"hello", 32, 2),
        "thousand": image(bytes(range(256)) * 3 + bytes(232), 64, 126),
        "low_offset": image(b"abcd", 32, 1, offset=55),
        "size_past_end": image(b"abcd", 32, 1, recorded=200),
        "wrapping_offset": image(b"abcd", 32, 1, offset=0xFFFFFFF0, recorded=0x2E),
        "headers_only": image(b"", 32, 1)[:54],
    },
}


def main():
    for family, seeds in SEEDS.items():
        folder = os.path.join(HERE, "corpus", family)
        os.makedirs(folder, exist_ok=True)
        for name, blob in seeds.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(blob)


if __name__ == "__main__":
    main()
