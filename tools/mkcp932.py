#!/usr/bin/env python3
"""Writes the code page 932 to Unicode table of the builds that have no iconv (the web).

Made from Python's own cp932 codec, which is Windows' code page 932 (0x815F is U+005C,
0x8160 U+FF5E), so no entry is typed by hand.

Usage: mkcp932.py OUT.inc
"""

import sys

NONE = 0xFFFF  # no character: the byte or pair is not one of the code page's
LEADS = [b for b in range(0x81, 0xA0)] + [b for b in range(0xE0, 0xFD)]
TRAILS = range(0x40, 0xFD)


def single_byte(b):
    """ASCII and the half-width katakana. Python also maps 0x80, 0xA0 and 0xFD..0xFF (to
    U+0080 and private-use points); glibc's CP932, which the desktop builds decode with,
    refuses them, and so does this table: the builds draw the same."""
    c = char(bytes([b]))
    return c if c < 0x80 or 0xFF61 <= c <= 0xFF9F else NONE


def char(data):
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError:
        return NONE
    return ord(text) if len(text) == 1 and ord(text) < 0x10000 else NONE


def rows(values):
    values = list(values)
    return "\n".join("    " + ", ".join(f"0x{v:04X}" for v in values[i:i + 12]) + ","
                     for i in range(0, len(values), 12))


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    single = [NONE if b in LEADS else single_byte(b) for b in range(256)]
    double = [char(bytes([lead, trail])) for lead in LEADS for trail in TRAILS]
    text = (
        "// Made by tools/mkcp932.py from Python's cp932 codec.\n"
        f"constexpr char16_t kCp932None = 0x{NONE:04X};\n"
        f"constexpr int kCp932Trails = {len(TRAILS)};  // 0x40..0xFC\n"
        f"const char16_t kCp932Single[256] = {{\n{rows(single)}\n}};\n"
        "// By lead byte (0x81..0x9F, then 0xE0..0xFC), then trail byte.\n"
        f"const char16_t kCp932Double[{len(double)}] = {{\n{rows(double)}\n}};\n")
    with open(argv[1], "w", encoding="ascii") as f:
        f.write(text)


if __name__ == "__main__":
    main(sys.argv)
