"""Damaged copies of shortcut files for the fuzzer's starting corpus: each file
cut at ten points, with bytes flipped, with a size field made too large, with
random bytes appended, and whole with the block kinds that no sample holds.
Fixed random numbers, so every run makes the same."""
import os
import random
import struct
import sys

source, target = sys.argv[1], sys.argv[2]
os.makedirs(target, exist_ok=True)
rng = random.Random(20261207)
for name in sorted(os.listdir(source)):
    if not name.endswith(".lnk"):
        continue
    data = open(os.path.join(source, name), "rb").read()
    copies = [data[: len(data) * i // 10] for i in range(10)]
    for _ in range(10):
        flipped = bytearray(data)
        for _ in range(rng.randint(1, 4)):
            flipped[rng.randrange(len(flipped))] ^= 1 << rng.randrange(8)
        copies.append(bytes(flipped))
    # The ID list's size, then the first later 16-bit field, made too large.
    for at in (0x4C, 0x4E):
        grown = bytearray(data)
        grown[at : at + 2] = b"\xff\x7f"
        copies.append(bytes(grown))
    copies.append(data + bytes(rng.randrange(256) for _ in range(64)))
    # Block kinds no sample holds, before the terminal block: a copy of the
    # file's ID list as an ID-list block, and a shim block.
    if data[0x14] & 1:
        items = data[0x4E : 0x4E + struct.unpack_from("<H", data, 0x4C)[0]]
        extra = struct.pack("<II", 8 + len(items), 0xA000000C) + items
        extra += struct.pack("<II", 0x88, 0xA0000008) + "layer".encode("utf-16-le").ljust(0x80, b"\0")
        copies.append(data[:-4] + extra + data[-4:])
    for i, copy in enumerate(copies):
        with open(os.path.join(target, "%s.%d" % (name, i)), "wb") as out:
            out.write(copy)
