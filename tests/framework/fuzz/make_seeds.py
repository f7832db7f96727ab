#!/usr/bin/env python3
"""Writes the seed corpora of the state fuzz targets: real program and bank
chunks of the product and the edge cases around them. Run it from anywhere;
the seeds are committed, so the build never needs it."""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
HEADER = struct.pack("<ii", 0x70666674, 0x10000)

# The product's defaults, in parameter index order.
DEFAULTS = [0, 120, 0, 360, 0, 3200, 0, 5, 0, 5, 0, 0, 120, 0, 360, 0, 3200,
            0, 0, 0, 1, 0, 1, 1, 1, 0, 0]


def program(values):
    return b"".join(struct.pack("<d", v) for v in values)


def text(s, length=None):
    data = s.encode()
    return struct.pack("<i", len(data) if length is None else length) + data


def slot(name, state=None):
    return text(name) + (b"\x01" + state if state is not None else b"\x00")


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


defaults = program(DEFAULTS)
hostile = program([math.nan, -math.inf, math.inf, 1e308, -1e308] + DEFAULTS[5:])
bank = slot("-", defaults)

write("fuzz_state_header", "header", HEADER)
write("fuzz_state_header", "magic-5", HEADER[:5])
write("fuzz_state_header", "magic-7", HEADER[:7])
write("fuzz_state_header", "old-version", struct.pack("<ii", 0x70666674, 0xFFFF))
write("fuzz_state_header", "text-max-length", text("abc", 0x7FFFFFFF))
write("fuzz_state_header", "text-negative-length", text("abcd", -3))
write("fuzz_state_header", "text-with-zero", text("ab\0c"))

write("fuzz_unserialize_params", "program", HEADER + defaults)
write("fuzz_unserialize_params", "program-headerless", defaults)
write("fuzz_unserialize_params", "program-215", defaults[:215])
write("fuzz_unserialize_params", "program-hostile", HEADER + hostile)
write("fuzz_unserialize_params", "magic-5", HEADER[:5])
write("fuzz_unserialize_params", "empty", b"")

write("fuzz_unserialize_presets", "bank", HEADER + bank)
write("fuzz_unserialize_presets", "bank-headerless", bank)
write("fuzz_unserialize_presets", "bank-cut", HEADER + bank[:100])
write("fuzz_unserialize_presets", "bank-uninitialised", HEADER + slot("-"))
write("fuzz_unserialize_presets", "bank-long-name", HEADER + slot("n" * 300, defaults))
write("fuzz_unserialize_presets", "bank-negative-length", HEADER + text("", -5) + bank)
write("fuzz_unserialize_presets", "bank-length-beyond", HEADER + text("abc", 1000))
write("fuzz_unserialize_presets", "bank-hostile", HEADER + slot("x", hostile))
# Three slots of a four-parameter plug-in, for reads that cross slots.
small = program([1.5, 90, 2, 0.5])
write("fuzz_unserialize_presets", "bank-three-slots",
      HEADER + slot("a", small) + slot("user preset 1") + slot("c", small))
