#!/usr/bin/env python3
"""Draws Tarvo's picture and writes the files that app/tarvo.rc embeds.

    python3 app/res/draw.py      (rewrites tarvo.ico, form1_imagelist1.bmp, tarvo.manifest)

The picture is a shortcut-arrow tile above the name "Tarvo" in blue on a light
gradient. The image list masks pure white, so the rounded-off corners are
0xFFFFFF and nothing inside the picture is: the tile's face is 0xFEFEFE.
"""
import os
import struct

SIZE = 32
WHITE = (0xFF, 0xFF, 0xFF)
TOP = (0xF4, 0xF8, 0xFF)
BOTTOM = (0xC4, 0xD8, 0xF4)
OUTLINE = (0x9C, 0xB4, 0xD8)
TILE_FACE = (0xFE, 0xFE, 0xFE)
TILE_EDGE = (0x70, 0x70, 0x70)
TILE_SHADOW = (0xA8, 0xB8, 0xD0)
ARROW = (0x00, 0x50, 0xD0)
LETTER = (0x00, 0x30, 0xB0)

# '#' edge, '.' face, 'a' arrow: the shell's shortcut overlay, an arrow rising
# from the bottom left to the top right.
TILE = [
    "##############",
    "#............#",
    "#.....aaaaaa.#",
    "#.......aaaa.#",
    "#......aaaaa.#",
    "#.....aaa.aa.#",
    "#....aaa...a.#",
    "#...aaa......#",
    "#..aaa.......#",
    "#..aa........#",
    "#..aa........#",
    "#..aa........#",
    "#............#",
    "##############",
]
TILE_X, TILE_Y = 9, 2

GLYPHS = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
}
TEXT_X, TEXT_Y = 2, 19
RADIUS = 4


def inside_rounded(x, y):
    """True inside the tile-shaped background with corners of RADIUS."""
    r = RADIUS
    cx = r if x < r else (SIZE - 1 - r if x > SIZE - 1 - r else x)
    cy = r if y < r else (SIZE - 1 - r if y > SIZE - 1 - r else y)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def on_outline(x, y):
    if not inside_rounded(x, y):
        return False
    return any(not (0 <= nx < SIZE and 0 <= ny < SIZE and inside_rounded(nx, ny))
               for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))


def picture():
    """Rows top to bottom of (r, g, b)."""
    px = []
    for y in range(SIZE):
        t = y / (SIZE - 1)
        shade = tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM))
        row = []
        for x in range(SIZE):
            if not inside_rounded(x, y):
                row.append(WHITE)
            elif on_outline(x, y):
                row.append(OUTLINE)
            else:
                row.append(shade)
        px.append(row)
    for dy, line in enumerate(TILE):
        for dx, c in enumerate(line):
            px[TILE_Y + dy][TILE_X + dx] = {"#": TILE_EDGE, ".": TILE_FACE, "a": ARROW}[c]
    for i in range(1, len(TILE) + 1):  # shadow along the right and bottom edges
        px[TILE_Y + i][TILE_X + len(TILE[0])] = TILE_SHADOW
        px[TILE_Y + len(TILE)][TILE_X + i] = TILE_SHADOW
    x = TEXT_X
    for ch in "Tarvo":
        for dy, line in enumerate(GLYPHS[ch]):
            for dx, c in enumerate(line):
                if c == "#":
                    px[TEXT_Y + dy][x + dx] = LETTER
        x += len(GLYPHS[ch][0]) + 1
    return px


def dib_pixels(px):
    """24-bit bottom-up rows, BGR; 32 pixels * 3 bytes needs no row padding."""
    return b"".join(bytes(c for r, g, b in row for c in (b, g, r)) for row in reversed(px))


def info_header(height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, SIZE, height, 1, 24, 0, image_size, 0, 0, 0, 0)


def bmp(px):
    pixels = dib_pixels(px)
    assert len(pixels) == 3072
    header = info_header(SIZE, len(pixels))
    offset = 14 + len(header)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + header + pixels


def ico(px):
    # White corners become transparent in the AND mask and black in the colour
    # part, as icons want.
    transparent = [[p == WHITE for p in row] for row in px]
    colour = [[(0, 0, 0) if transparent[y][x] else p for x, p in enumerate(row)]
              for y, row in enumerate(px)]
    mask = b""
    for row in reversed(transparent):
        bits = 0
        for x, t in enumerate(row):
            if t:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    pixels = dib_pixels(colour)
    image = info_header(2 * SIZE, 0) + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


MANIFEST = """\
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity
    version="1.0.0.0"
    processorArchitecture="X86"
    name="CompanyName.ProductName.YourApp"
    type="win32"
  />
  <description>Description</description>
  <dependency>
    <dependentAssembly>
      <assemblyIdentity
        type="win32"
        name="Microsoft.Windows.Common-Controls"
        version="6.0.0.0"
        processorArchitecture="X86"
        publicKeyToken="6595b64144ccf1df"
        language="*"
      />
    </dependentAssembly>
  </dependency>
</assembly>
"""


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    px = picture()
    assert px[0][0] == WHITE and px[SIZE - 1][0] == WHITE
    manifest = MANIFEST.replace("\n", "\r\n").encode("utf-8")
    assert len(manifest) == 652
    outputs = {"form1_imagelist1.bmp": bmp(px), "tarvo.ico": ico(px), "tarvo.manifest": manifest}
    for name, data in outputs.items():
        with open(os.path.join(here, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
