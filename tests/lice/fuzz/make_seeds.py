#!/usr/bin/env python3
"""Writes the seed corpus of the PNG decoder's fuzz target: tiny files of the
colour types, depths and chunk layouts the decoder meets. Run it from
anywhere; the seeds are committed, so the build never needs it."""

import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "fuzz_png_decode")


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png(name, w, h, depth, colour_type, raw, extra=b"", interlace=0, end=True):
    header = struct.pack(">IIBBBBB", w, h, depth, colour_type, 0, 0, interlace)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra + chunk(b"IDAT", zlib.compress(raw, 9))
    if end:
        data += chunk(b"IEND", b"")
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def rows(row_bytes, h):
    """Filter type 0 before each row."""
    return b"".join(b"\x00" + row_bytes(y) for y in range(h))


def main():
    os.makedirs(OUT, exist_ok=True)
    png("rgba8.png", 3, 2, 8, 6, rows(lambda y: bytes([10, 20, 30, 128] * 3), 2))
    png("rgb8_trns.png", 2, 2, 8, 2, rows(lambda y: bytes([1, 2, 3, 4, 5, 6]), 2),
        chunk(b"tRNS", struct.pack(">HHH", 1, 2, 3)))
    png("rgb16.png", 2, 1, 16, 2, rows(lambda y: bytes(range(12)), 1))
    png("palette4_trns.png", 5, 3, 4, 3, rows(lambda y: bytes([0x01, 0x23, 0x40]), 3),
        chunk(b"PLTE", bytes(range(15))) + chunk(b"tRNS", bytes([0, 128])))
    png("grey2.png", 7, 2, 2, 0, rows(lambda y: bytes([0x1B, 0xE4]), 2))
    png("grey_alpha16.png", 2, 2, 16, 4, rows(lambda y: bytes(range(8)), 2))
    png("grey1_no_end.png", 9, 1, 1, 0, rows(lambda y: bytes([0xA5, 0x80]), 1), end=False)
    # A 1 x 1 interlaced image has one pass holding its one pixel.
    png("interlaced1x1.png", 1, 1, 8, 6, b"\x00" + bytes([1, 2, 3, 4]), interlace=1)


if __name__ == "__main__":
    main()
