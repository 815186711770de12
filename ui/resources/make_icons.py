#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Draws the program's icon in the banner's look, yellow capitals "IC" in the banner's 5 x 7 pixel
# font on a black rounded square: hicolor PNGs from 16 to 256 px and a scalable SVG, under
# packaging/icons/hicolor, named by the application id the build defines. Standard library only;
# the build runs it with that id:
#     cmake --build --preset dev --target icons  (writes the icons)
#     python3 ui/resources/make_icons.py --app-id ID [--check]  (--check: fail if they are stale)
import argparse
import pathlib
import struct
import sys
import tempfile
import zlib

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from make_banner import BLACK, GLYPHS, YELLOW  # noqa: E402  one font for banner and icon

TEXT = "IC"
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
# The scalable icon is drawn on the 256 px grid.
SVG_SIZE = 256
GLYPH_W, GLYPH_H, ADVANCE = 5, 7, 6
TEXT_UNITS = len(TEXT) * ADVANCE - 1
SUPERSAMPLE = 4


def geometry(size):
    """Where the square and the letters go at one size: all in whole pixels, so small sizes stay
    sharp."""
    margin = max(1, size // 16)
    radius = 0 if size < 32 else size * 3 // 16
    # Letters take about three quarters of the square's width, in whole font pixels.
    scale = max(1, (size - 2 * margin) * 3 // (4 * TEXT_UNITS))
    left = (size - TEXT_UNITS * scale) // 2
    top = (size - GLYPH_H * scale) // 2
    return margin, radius, scale, left, top


def lit_cells():
    """The font pixels of the text, as (column, row) in font units."""
    for index, letter in enumerate(TEXT):
        for gy, row in enumerate(GLYPHS[letter]):
            for gx, bit in enumerate(row):
                if bit == "1":
                    yield index * ADVANCE + gx, gy


def inside_rounded(x, y, lo, hi, radius):
    if x < lo or y < lo or x >= hi or y >= hi:
        return False
    if radius == 0:
        return True
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def draw(size):
    """RGBA rows: the square's edge is antialiased by supersampling, the letters are not."""
    margin, radius, scale, left, top = geometry(size)
    lo, hi = margin, size - margin
    step = 1 / SUPERSAMPLE
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            hits = sum(
                inside_rounded(x + (sx + 0.5) * step, y + (sy + 0.5) * step, lo, hi, radius)
                for sy in range(SUPERSAMPLE)
                for sx in range(SUPERSAMPLE))
            row.append([*BLACK, round(255 * hits / SUPERSAMPLE**2)])
        rows.append(row)
    for cx, cy in lit_cells():
        for y in range(top + cy * scale, top + (cy + 1) * scale):
            for x in range(left + cx * scale, left + (cx + 1) * scale):
                rows[y][x] = [*YELLOW, 255]
    return rows


def png(rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(value for pixel in row for value in pixel) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def svg():
    margin, radius, scale, left, top = geometry(SVG_SIZE)
    side = SVG_SIZE - 2 * margin
    # One rectangle per run of lit font pixels in a row keeps the path short.
    runs = []
    cells = sorted(set(lit_cells()), key=lambda cell: (cell[1], cell[0]))
    for cx, cy in cells:
        if runs and runs[-1][1] == cy and runs[-1][0] + runs[-1][2] == cx:
            runs[-1][2] += 1
        else:
            runs.append([cx, cy, 1])
    path = " ".join(f"M{left + cx * scale} {top + cy * scale}h{length * scale}v{scale}"
                    f"h-{length * scale}z" for cx, cy, length in runs)
    hex_colour = "#{:02x}{:02x}{:02x}".format
    return (f'<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<!-- SPDX-License-Identifier: MIT -->\n'
            f'<!-- The icon of IC Atlas, drawn by ui/resources/make_icons.py. -->\n'
            f'<svg xmlns="http://www.w3.org/2000/svg" width="{SVG_SIZE}" height="{SVG_SIZE}" '
            f'viewBox="0 0 {SVG_SIZE} {SVG_SIZE}">\n'
            f'  <rect x="{margin}" y="{margin}" width="{side}" height="{side}" rx="{radius}" '
            f'fill="{hex_colour(*BLACK)}"/>\n'
            f'  <path fill="{hex_colour(*YELLOW)}" d="{path}"/>\n'
            f'</svg>\n').encode()


def outputs(app_id):
    """Each icon file, as (path under the icon theme's root, contents)."""
    for size in SIZES:
        yield f"hicolor/{size}x{size}/apps/{app_id}.png", png(draw(size))
    yield f"hicolor/scalable/apps/{app_id}.svg", svg()


def write(root, app_id):
    for relative, contents in outputs(app_id):
        target = root / relative
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(contents)


def stale(root, app_id):
    """The committed icon files that differ from what this script draws now."""
    return [relative for relative, contents in outputs(app_id)
            if not (root / relative).is_file() or (root / relative).read_bytes() != contents]


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description="Draws the program's icons.")
    parser.add_argument("--app-id", required=True, help="the application id, which names them")
    parser.add_argument("--check", action="store_true", help="only report stale icons")
    args = parser.parse_args()
    icons = pathlib.Path(__file__).resolve().parents[2] / "packaging" / "icons"
    if args.check:
        differing = stale(icons, args.app_id)
        for relative in differing:
            print(f"stale icon: packaging/icons/{relative} (build the target 'icons')")
        sys.exit(1 if differing else 0)
    write(icons, args.app_id)
