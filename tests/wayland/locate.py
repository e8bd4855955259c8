#!/usr/bin/env python3
"""Finds the game's windows in a screenshot of the compositor, where their position is the
compositor's choice.
  locate.py board SHOT REF   -> "X Y": the board's client origin, found by the sample row,
                                which is the same in every frame (REF: a frame of the board,
                                at the scale it is looked for)
  locate.py box SHOT         -> "X Y W H TEXT": a message box's client area (found by its
                                grey button band) and how many of its pixels are text-dark
Exit status 1 when nothing is found."""
import subprocess
import sys


def load(path):
    w, h = map(int, subprocess.run(["identify", "-format", "%w %h", path], check=True,
                                   capture_output=True, text=True).stdout.split())
    data = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                          capture_output=True).stdout
    return w, h, data


def row(image, y, x0, x1):
    w, _, data = image
    return data[(y * w + x0) * 3:(y * w + x1) * 3]


def board(shot, ref):
    # Rows through the sample discs, from the first dark pixel on: their start is exact.
    k = ref[0] // 594
    x0, x1, y0, y1, mid = 12 * k, 290 * k, 20 * k, 50 * k, 34 * k
    needle = row(ref, mid, x0, x1)
    w, h, data = shot
    for y in range(mid, h - (y1 - mid)):
        line = row(shot, y, 0, w)
        at = line.find(needle)
        while at >= 0:
            if at % 3 == 0:
                ox, oy = at // 3 - x0, y - mid
                if all(row(shot, oy + r, ox + x0, ox + x1) == row(ref, r, x0, x1)
                       for r in range(y0, y1)):
                    return f"{ox} {oy}"
            at = line.find(needle, at + 1)
    return None


def box(shot):
    w, h, data = shot
    band = bytes([240, 240, 240])

    def px(x, y):
        return data[(y * w + x) * 3:(y * w + x) * 3 + 3]

    # The band under the text: the lowest long run of (240,240,240) gives left, right, bottom.
    for y in range(h - 1, -1, -1):
        line = row(shot, y, 0, w)
        at = line.find(band * 100)
        if at < 0 or at % 3:
            continue
        left = at // 3
        right = left
        while right < w and px(right, y) == band:
            right += 1
        bottom = y + 1
        top = y
        while top > 0 and px(left, top - 1) == band:
            top -= 1
        # The white body above it, up to the frame.
        body = top
        while body > 0 and px(left, body - 1) == b"\xff\xff\xff":
            body -= 1
        dark = sum(1 for yy in range(body, top) for xx in range(left, right)
                   if max(px(xx, yy)) < 100)
        return f"{left} {body} {right - left} {bottom - body} {dark}"
    return None


def main():
    found = (board(load(sys.argv[2]), load(sys.argv[3])) if sys.argv[1] == "board"
             else box(load(sys.argv[2])))
    if not found:
        return 1
    print(found)
    return 0


if __name__ == "__main__":
    sys.exit(main())
