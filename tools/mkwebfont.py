#!/usr/bin/env python3
"""Makes the web build's font: a subset of a TrueType face holding the characters given.

  mkwebfont.py FONT OUT FAMILY CHARS FREETYPE_SOURCE

FONT is the face the Linux build draws with; CHARS a UTF-8 file of the characters the
program's texts can draw (tools/cp932lit.py chars). Printable ASCII is always kept (numbers
are formatted at run time), and so is every character FreeType's auto-hinter measures (its
blue-zone and standard characters, read from FREETYPE_SOURCE/src/autofit), or hinted glyphs
would come out differently from the full face's. The subset is renamed FAMILY: the font's
licence lets a modified copy be passed on only under a name of its own.
"""

import re
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

QUOTED = re.compile(r'"((?:[^"\\]|\\.)*)"')


def quoted_chars(path):
    """Every character inside a C string literal of the file, \\x escapes decoded as UTF-8."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    chars = set()
    for literal in QUOTED.findall(text):
        raw = re.sub(r"\\x([0-9A-Fa-f]{2})", lambda m: chr(int(m.group(1), 16)), literal)
        try:
            raw = raw.encode("latin-1").decode("utf-8")
        except (UnicodeEncodeError, UnicodeDecodeError):
            pass
        chars.update(c for c in raw if not c.isspace() and c != "|")
    return chars


def main(argv):
    if len(argv) != 6:
        sys.exit(__doc__)
    font_path, out_path, family, chars_path, freetype = argv[1:]
    with open(chars_path, encoding="utf-8") as f:
        chars = set(f.read()) - {"\n"}
    chars.update(chr(c) for c in range(0x20, 0x7F))
    for name in ("afblue.dat", "afscript.h"):
        chars.update(quoted_chars(f"{freetype}/src/autofit/{name}"))

    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.drop_tables += ["EBDT", "EBLC", "EBSC"]  # bitmaps are never drawn
    font = TTFont(font_path)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=[ord(c) for c in chars])
    subsetter.subset(font)

    names = font["name"]
    ps_name = re.sub(r"[^A-Za-z0-9-]", "", family)
    for record in list(names.names):
        if record.nameID in (1, 4, 16, 18, 21):
            names.setName(family, record.nameID, record.platformID, record.platEncID,
                          record.langID)
        elif record.nameID in (3, 6, 20):
            names.setName(ps_name, record.nameID, record.platformID, record.platEncID,
                          record.langID)
    font.save(out_path)


if __name__ == "__main__":
    main(sys.argv)
