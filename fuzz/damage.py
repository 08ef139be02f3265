"""Damaged copies of shortcut files for the fuzzer's starting corpus: each file
cut at ten points, with bytes flipped, with a size field made too large, and
with random bytes appended. Fixed random numbers, so every run makes the same."""
import os
import random
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
    for i, copy in enumerate(copies):
        with open(os.path.join(target, "%s.%d" % (name, i)), "wb") as out:
            out.write(copy)
