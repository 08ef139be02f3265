#!/usr/bin/env python3
"""Draws Tarvo's picture and writes the files that app/tarvo.rc embeds.

    python3 app/res/draw.py      (rewrites tarvo.ico, tarvo.manifest, tarvo64.manifest)

The picture is a shortcut-arrow tile above the name "Tarvo" in blue on a light
gradient. White marks what lies outside it, so the rounded-off corners are
0xFFFFFF and nothing inside the picture is: the tile's face is 0xFEFEFE.

The 32-pixel image is drawn pixel by pixel, as it always was. Every other size
is drawn for itself from the same shapes, smoothed by sampling each pixel 4 x 4
times; below 32 pixels the name would be a smudge, so the tile fills the picture
alone. The icon holds every size as a PNG image, the 32-pixel one too (fully
transparent where the old bitmap's mask was set, opaque elsewhere, so it draws
the same pixels): as bitmaps they would take the program past 64 KiB.
"""
import os
import struct
import zlib

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


SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
SAMPLES = 4
ARROW_HEAD = ((6.5, 2.5), (11.5, 2.5), (11.5, 7.5))
ARROW_SHAFT = ((3.5, 12.0), (3.5, 9.5), (8.5, 4.5))
ARROW_WIDTH = 2.2


def in_triangle(p, tri):
    (x, y), ((ax, ay), (bx, by), (cx, cy)) = p, tri
    d1 = (x - bx) * (ay - by) - (ax - bx) * (y - by)
    d2 = (x - cx) * (by - cy) - (bx - cx) * (y - cy)
    d3 = (x - ax) * (cy - ay) - (cx - ax) * (y - ay)
    return not ((d1 < 0 or d2 < 0 or d3 < 0) and (d1 > 0 or d2 > 0 or d3 > 0))


def near_segment(p, a, b, half):
    (x, y), (ax, ay), (bx, by) = p, a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= half * half


def tile_colour(u, v):
    """The tile at a point of its own 14-unit square; None outside it."""
    n = len(TILE)
    if not (0 <= u < n and 0 <= v < n):
        shadow = (n <= u < n + 1 and 1 <= v < n + 1) or (n <= v < n + 1 and 1 <= u < n + 1)
        return TILE_SHADOW if shadow else None
    if u < 1 or v < 1 or u >= n - 1 or v >= n - 1:
        return TILE_EDGE
    p = (u, v)
    shaft = any(near_segment(p, a, b, ARROW_WIDTH / 2) for a, b in zip(ARROW_SHAFT, ARROW_SHAFT[1:]))
    return ARROW if shaft or in_triangle(p, ARROW_HEAD) else TILE_FACE


def shape_colour(x, y, with_name):
    """The picture at a point of the 32-unit design square; None outside it."""
    r = RADIUS
    cx = min(max(x, r), SIZE - r)
    cy = min(max(y, r), SIZE - r)
    if not (0 <= x < SIZE and 0 <= y < SIZE) or (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return None
    if (x - cx) ** 2 + (y - cy) ** 2 > (r - 1) ** 2 or min(x, y) < 1 or max(x, y) >= SIZE - 1:
        return OUTLINE
    if with_name:
        tile = tile_colour(x - TILE_X, y - TILE_Y)
    else:  # the tile alone, as large as the picture allows
        tile = tile_colour((x - 3) * 15 / 26, (y - 3) * 15 / 26)
    if tile:
        return tile
    if with_name:
        left = TEXT_X
        for ch in "Tarvo":
            glyph = GLYPHS[ch]
            gx, gy = int(x - left), int(y - TEXT_Y)
            if x >= left and 0 <= gx < len(glyph[0]) and 0 <= y - TEXT_Y < len(glyph) and glyph[gy][gx] == "#":
                return LETTER
            left += len(glyph[0]) + 1
    t = min(max((y - 0.5) / (SIZE - 1), 0.0), 1.0)
    return tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM))


def drawn(size):
    """Rows of (r, g, b, coverage 0..255) for a size other than 32."""
    k = size / SIZE
    rows = []
    for py in range(size):
        row = []
        for px_ in range(size):
            inside = []
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = shape_colour((px_ + (sx + 0.5) / SAMPLES) / k, (py + (sy + 0.5) / SAMPLES) / k, size >= SIZE)
                    if c:
                        inside.append(c)
            if not inside:
                row.append(WHITE + (0,))
                continue
            colour = tuple(round(sum(c[i] for c in inside) / len(inside)) for i in range(3))
            if colour == WHITE:
                colour = TILE_FACE
            row.append(colour + (round(255 * len(inside) / SAMPLES ** 2),))
        rows.append(row)
    return rows


def image_rows(size):
    if size == SIZE:
        return [[p + ((0 if p == WHITE else 255),) for p in row] for row in picture()]
    return drawn(size)


def filtered(kind, line, prior):
    """One PNG row under filter kind (0 none, 1 sub, 2 up, 3 average, 4 Paeth), its kind first."""
    out = bytearray([kind])
    for i, x in enumerate(line):
        a = line[i - 4] if i >= 4 else 0
        b = prior[i]
        c = prior[i - 4] if i >= 4 else 0
        if kind == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            predictor = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
        else:
            predictor = (0, a, b, (a + b) // 2, 0)[kind]
        out.append((x - predictor) & 0xFF)
    return bytes(out)


def png_entry(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    size = len(rows)
    lines = [bytes(c for p in row for c in p) for row in rows]
    priors = [bytes(4 * size)] + lines[:-1]

    def best(line, prior):
        return min((filtered(kind, line, prior) for kind in range(5)), key=lambda f: sum(min(b, 256 - b) for b in f[1:]))

    # Whichever compresses best: one filter for every row, or the usual per-row choice.
    choices = [[filtered(kind, line, prior) for line, prior in zip(lines, priors)] for kind in range(5)]
    choices.append([best(line, prior) for line, prior in zip(lines, priors)])
    compressed = min((zlib.compress(b"".join(rows_), 9) for rows_ in choices), key=len)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", compressed) + chunk(b"IEND", b"")
    return data, 32


def ico():
    images = [(size, png_entry(image_rows(size))) for size in SIZES]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, (data, bits) in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return directory + b"".join(data for _, (data, _) in images)


MANIFEST = """\
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity
    version="1.0.0.0"
    processorArchitecture="{arch}"
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
        processorArchitecture="{arch}"
        publicKeyToken="6595b64144ccf1df"
        language="*"
      />
    </dependentAssembly>
  </dependency>
  <application xmlns="urn:schemas-microsoft-com:asm.v3">
    <windowsSettings>
      <dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>
      <dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>
    </windowsSettings>
  </application>
</assembly>
"""


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    px = picture()
    assert px[0][0] == WHITE and px[SIZE - 1][0] == WHITE
    outputs = {"tarvo.ico": ico()}
    for name, arch in (("tarvo.manifest", "X86"), ("tarvo64.manifest", "amd64")):
        outputs[name] = MANIFEST.format(arch=arch).replace("\n", "\r\n").encode("utf-8")
    for name, data in outputs.items():
        with open(os.path.join(here, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
