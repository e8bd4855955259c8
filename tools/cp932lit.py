#!/usr/bin/env python3
"""Code page 932 texts for a compiler that has no -fexec-charset=CP932 (clang, for the web).

  cp932lit.py escape SOURCE COPY    writes COPY: SOURCE with every non-ASCII character of its
                                    string and character literals written as octal escapes
                                    of its code page 932 bytes, and a #line back to SOURCE
  cp932lit.py chars OUT SOURCE...   writes OUT: every character that the SOURCEs' literals
                                    hold, once each, in UTF-8 (what the web font must draw)

Comments and code are left as they are. Octal escapes take at most three digits, so a
digit that follows one cannot join it, as it would join a hex escape.
"""

import sys


class LiteralError(Exception):
    pass


def literals(text):
    """Yields (start, end) of the body of every string and character literal."""
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            i = n if end < 0 else end + 2
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not ident(text[i - 1])):
            close = text.index("(", i)
            delim = ")" + text[i + 2:close] + '"'
            end = text.index(delim, close)
            if any(ord(ch) > 127 for ch in text[close:end]):
                raise LiteralError("raw string literal with non-ASCII text")
            i = end + len(delim)
        elif c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):
            j = i + 1
            while j < n and text[j] != c:
                if text[j] == "\n":
                    raise LiteralError(f"literal not closed at offset {i}")
                j += 2 if text[j] == "\\" else 1
            yield i + 1, j
            i = j + 1
        else:
            i += 1


def ident(c):
    return c.isalnum() or c == "_"


def escape(text):
    out, last = [], 0
    for start, end in literals(text):
        out.append(text[last:start])
        for ch in text[start:end]:
            if ord(ch) < 128:
                out.append(ch)
            else:
                out.extend(f"\\{b:03o}" for b in ch.encode("cp932"))
        last = end
    out.append(text[last:])
    return "".join(out)


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def write_if_changed(path, text):
    try:
        if read(path) == text:
            return
    except OSError:
        pass
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main(argv):
    if len(argv) == 4 and argv[1] == "escape":
        source = argv[2]
        text = read(source)
        write_if_changed(argv[3], f'#line 1 "{source}"\n' + escape(text))
    elif len(argv) >= 3 and argv[1] == "chars":
        seen = set()
        for source in argv[3:]:
            text = read(source)
            for start, end in literals(text):
                seen.update(ch for ch in text[start:end] if ord(ch) > 127)
        write_if_changed(argv[2], "".join(sorted(seen)) + "\n")
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    try:
        main(sys.argv)
    except (LiteralError, UnicodeError, ValueError) as e:
        sys.exit(f"cp932lit.py: {e}")
