#!/usr/bin/env python3
"""Builds the program's resources from res/resource.h and the pixel art it names.

res/resource.h is the one list of resources. Each line of the form

    #define IDB_MARK_OFF 130  // BITMAP art/mark_off.txt

names a resource, its number, its kind (BITMAP or ICON) and its art, a text file:

    # comment
    depth 4                 bits per pixel in the file: 4 (16 colours) or 8 (256)
    colour . FFFFFF white   a symbol, its colour as RRGGBB ("none": transparent, icons only)
                            and any words naming it
    image 24 24             then that many rows of symbols; icons hold several images

From these it writes, into the output folder: the .bmp and .ico files, the Windows resource
script discfire.rc (compiled with -I pointing at res/, where resource.h lives), and
resources.cpp, the table the Linux build compiles in. Files whose content has not changed are
left alone, so nothing rebuilds for nothing.

Usage: mkres.py res/resource.h OUTPUT_DIR
"""

import os
import re
import struct
import sys

LINE = re.compile(r"^#define\s+(ID[IB]_\w+)\s+(\d+)\s*//\s*(ICON|BITMAP)\s+(\S+)\s*$")
DEFINE = re.compile(r"^#define\s+(ID[IB]_\w+)\b")


class ArtError(Exception):
    pass


def read_art(path):
    """Returns (depth, palette as [(r, g, b) or None], images as [(w, h, [[index]])])."""
    depth = None
    symbols = {}
    palette = []
    images = []
    rows_left = 0
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    for number, raw in enumerate(lines, 1):
        where = f"{path}:{number}"
        if rows_left:
            row = raw.rstrip()
            w, h, pixels = images[-1]
            if len(row) != w:
                raise ArtError(f"{where}: row is {len(row)} wide, the image {w}")
            try:
                pixels.append([symbols[c] for c in row])
            except KeyError as e:
                raise ArtError(f"{where}: symbol {e} has no colour") from None
            rows_left -= 1
            continue
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        words = line.split()
        if words[0] == "depth" and len(words) == 2 and words[1] in ("4", "8"):
            depth = int(words[1])
        elif words[0] == "colour" and len(words) >= 3 and len(words[1]) == 1:
            if words[2] == "none":
                colour = None
            elif re.fullmatch(r"[0-9A-Fa-f]{6}", words[2]):
                v = int(words[2], 16)
                colour = (v >> 16, (v >> 8) & 0xFF, v & 0xFF)
            else:
                raise ArtError(f"{where}: colour must be RRGGBB or none")
            if words[1] in symbols:
                raise ArtError(f"{where}: symbol {words[1]} defined twice")
            symbols[words[1]] = len(palette)
            palette.append(colour)
        elif words[0] == "image" and len(words) == 3 and words[1].isdigit() and words[2].isdigit():
            w, h = int(words[1]), int(words[2])
            if not (0 < w <= 256 and 0 < h <= 256):
                raise ArtError(f"{where}: image size out of range")
            images.append((w, h, []))
            rows_left = h
        else:
            raise ArtError(f"{where}: cannot read '{line}'")
    if rows_left:
        raise ArtError(f"{path}: the last image is {rows_left} rows short")
    if depth is None or not images:
        raise ArtError(f"{path}: needs a depth and at least one image")
    return depth, palette, images


def table(depth, palette):
    """The file's palette: black first when there is transparency (Windows XORs the image
    onto the screen where the mask is set, so transparent pixels must be black), padded."""
    colours = [c for c in palette if c is not None]
    if None in palette:
        colours = [(0, 0, 0)] + [c for c in colours if c != (0, 0, 0)]
    colours = list(dict.fromkeys(colours))
    if len(colours) > (1 << depth):
        raise ArtError(f"{len(colours)} colours do not fit in {depth} bits")
    index = [colours.index(c) if c is not None else 0 for c in palette]
    colours += [(0, 0, 0)] * ((1 << depth) - len(colours))
    return colours, index


def pack_rows(pixels, bits, index):
    """Bottom-up rows of palette indexes (or mask bits), each padded to 4 bytes."""
    out = bytearray()
    for row in reversed(pixels):
        acc = 0
        nbits = 0
        line = bytearray()
        for p in row:
            acc = (acc << bits) | index(p)
            nbits += bits
            if nbits == 8:
                line.append(acc)
                acc = nbits = 0
        if nbits:
            line.append(acc << (8 - nbits))
        line += b"\0" * (-len(line) % 4)
        out += line
    return bytes(out)


def info_header(w, h, depth, image_bytes, colours):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, depth, 0, image_bytes, 2835, 2835, colours, 0)


def palette_bytes(colours):
    return b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in colours)


def make_bmp(depth, palette, images, path):
    if len(images) != 1 or None in palette:
        raise ArtError(f"{path}: a bitmap has one image and no transparency")
    colours, index = table(depth, palette)
    w, h, pixels = images[0]
    bits = pack_rows(pixels, depth, lambda p: index[p])
    head = info_header(w, h, depth, len(bits), len(colours)) + palette_bytes(colours)
    offset = 14 + len(head)
    return b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset) + head + bits


def make_ico(depth, palette, images, path):
    colours, index = table(depth, palette)
    entries = bytearray()
    blobs = bytearray()
    offset = 6 + 16 * len(images)
    for w, h, pixels in images:
        xor = pack_rows(pixels, depth, lambda p: index[p])
        mask = pack_rows(pixels, 1, lambda p: 1 if palette[p] is None else 0)
        blob = info_header(w, 2 * h, depth, len(xor) + len(mask), 0) + palette_bytes(colours)
        blob += xor + mask
        count = len(colours) if len(colours) < 256 else 0
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, count, 0, 1, depth, len(blob),
                               offset + len(blobs))
        blobs += blob
    return struct.pack("<HHH", 0, 1, len(images)) + bytes(entries) + bytes(blobs)


def write_if_changed(path, data):
    if isinstance(data, str):
        data = data.encode("utf-8")
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except FileNotFoundError:
        pass
    with open(path, "wb") as f:
        f.write(data)


def read_list(header):
    resources = []
    with open(header, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.strip()
            m = LINE.match(line)
            if m:
                name, rid, kind, art = m.groups()
                resources.append((name, int(rid), kind, art))
            elif DEFINE.match(line):
                raise ArtError(f"{header}:{number}: a resource needs '// KIND art-file'")
    if not resources:
        raise ArtError(f"{header}: no resources listed")
    names = [r[0] for r in resources]
    ids = [r[1] for r in resources]
    if len(set(names)) != len(names) or len(set(ids)) != len(ids):
        raise ArtError(f"{header}: a name or number is listed twice")
    return resources


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    header, out = argv[1], argv[2]
    base = os.path.dirname(os.path.abspath(header))
    os.makedirs(out, exist_ok=True)
    try:
        resources = read_list(header)
        rc = [
            "// Made by tools/mkres.py from res/resource.h and res/art/: edit those, not this.",
            "// Compile with -I pointing at res/ for resource.h.",
            '#include "resource.h"',
            "",
            "#ifndef LANG_JAPANESE",
            "#define LANG_JAPANESE 0x11",
            "#endif",
            "#ifndef SUBLANG_DEFAULT",
            "#define SUBLANG_DEFAULT 0x01",
            "#endif",
            "LANGUAGE LANG_JAPANESE, SUBLANG_DEFAULT",
            "",
        ]
        arrays = []
        entries = []
        for name, rid, kind, art in resources:
            depth, palette, images = read_art(os.path.join(base, art))
            stem = os.path.splitext(os.path.basename(art))[0]
            if kind == "BITMAP":
                data, file = make_bmp(depth, palette, images, art), stem + ".bmp"
            else:
                data, file = make_ico(depth, palette, images, art), stem + ".ico"
            write_if_changed(os.path.join(out, file), data)
            rc.append(f'{name} {kind} "{file}"')
            body = ",".join(str(b) for b in data)
            arrays.append(f"const unsigned char k{stem}[] = {{{body}}};")
            which = "kResourceBitmap" if kind == "BITMAP" else "kResourceIcon"
            entries.append(f"    {{{which}, {rid}, k{stem}, sizeof k{stem}}},  // {name}")
    except (ArtError, OSError) as e:
        sys.stderr.write(f"mkres: {e}\n")
        return 1
    write_if_changed(os.path.join(out, "discfire.rc"), "\n".join(rc) + "\n")
    cpp = [
        "// Made by tools/mkres.py from res/resource.h and res/art/: edit those, not this.",
        '#include "user/resource.h"',
        "",
        "namespace {",
        "",
        *arrays,
        "",
        "const ProgramResource kResources[] = {",
        *entries,
        "};",
        "",
        "[[maybe_unused]] const bool kRegistered =",
        "    (RegisterProgramResources(kResources, sizeof kResources / sizeof *kResources), true);",
        "",
        "}  // namespace",
    ]
    write_if_changed(os.path.join(out, "resources.cpp"), "\n".join(cpp) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
