#!/usr/bin/env python3
"""Writes the freedesktop theme icons, PNGs at the sizes asked for, from an icon's pixel art
(the format tools/mkres.py reads).

Each size is drawn from the largest image of the art whose size divides it, each pixel made
a square block, so the icon stays crisp; a size that none divides scales the largest image
to the nearest pixel.

Usage: mkicons.py ART OUTPUT_DIR NAME SIZE...
writes OUTPUT_DIR/SIZExSIZE/apps/NAME.png for every SIZE.
"""

import os
import struct
import sys
import zlib

from mkres import ArtError, read_art, write_if_changed


def pick(images, size):
    square = [im for im in images if im[0] == im[1]] or images
    dividing = [im for im in square if size % im[0] == 0]
    return max(dividing or square, key=lambda im: im[0])


def scaled_rows(image, palette, size):
    """Rows of RGBA bytes, nearest neighbour; transparent where the art has no colour."""
    w, h, pixels = image
    rows = []
    for y in range(size):
        src = pixels[y * h // size]
        row = bytearray()
        for x in range(size):
            colour = palette[src[x * w // size]]
            row += bytes((*colour, 255)) if colour is not None else bytes(4)
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + row for row in rows)  # filter type 0 on every row
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(argv):
    if len(argv) < 5 or not all(s.isdigit() and 0 < int(s) <= 1024 for s in argv[4:]):
        sys.stderr.write(__doc__)
        return 2
    art, out, name = argv[1:4]
    try:
        _, palette, images = read_art(art)
        for size in map(int, argv[4:]):
            folder = os.path.join(out, f"{size}x{size}", "apps")
            os.makedirs(folder, exist_ok=True)
            rows = scaled_rows(pick(images, size), palette, size)
            write_if_changed(os.path.join(folder, name + ".png"), png(size, rows))
    except (ArtError, OSError) as e:
        sys.stderr.write(f"mkicons: {e}\n")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
