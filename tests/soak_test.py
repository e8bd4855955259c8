#!/usr/bin/env python3
"""A soak through the replay tool: whole games, each played perfectly up to speed 1024 and
then by random clicks until it is over, until a million ticks have passed in all.

Every game must exit cleanly with nothing on stderr (a sanitizer build reports there), hold
as many GDI objects at its last paint as at its first and none at exit, keep its resident
memory flat, and reach the 1 ms interval, ticking once every millisecond at it.

Usage: soak_test.py DISCFIRE_REPLAY [--ticks N] [--jobs N]
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

STATS_EVERY_MS = 32768
# Resident memory may wander this much once the program has settled: allocator noise, not
# growth. A leak of a dozen bytes a paint would pass it within a game.
RSS_WANDER_KB = 4096
# Samples before this share of a game's paints are its warm-up.
WARM_UP = 0.1

STATS = re.compile(r"^(\d+) Stats when=(\S+) ticks=(\d+) paints=(\d+) gdi=(\d+) dcs=(\d+)"
                   r"(?: rss_kb=(-?\d+))?$")
TIMER = re.compile(r"^(\d+) SetTimer id=1 ms=(\d+)$")


def check_game(seed, trace_path, code, stderr):
    """Returns (ticks, notes, problems) for one finished game."""
    problems = []
    if code != 0:
        problems.append(f"exit code {code}")
    if stderr.strip():
        problems.append("stderr:\n" + stderr.strip()[-4000:])
    stats, timers, rating = [], [], False
    with open(trace_path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if m := STATS.match(line):
                ms, when, ticks, paints, gdi, dcs, rss = m.groups()
                stats.append({"ms": int(ms), "when": when, "ticks": int(ticks),
                              "paints": int(paints), "gdi": int(gdi), "dcs": int(dcs),
                              "rss": int(rss) if rss is not None else None})
            elif m := TIMER.match(line):
                timers.append((int(m.group(1)), int(m.group(2))))
            elif "あなたは1024倍速CD-Rです。" in line:
                rating = True
    if not stats or stats[0]["when"] != "first-paint" or stats[-1]["when"] != "exit":
        return 0, "", problems + ["the trace has no stats from first paint to exit"]
    first, exit_ = stats[0], stats[-1]
    painted = [s for s in stats if s["when"] in ("periodic", "last-paint")]
    for s in painted:
        if (s["gdi"], s["dcs"]) != (first["gdi"], first["dcs"]):
            problems.append(f"{s['gdi']} GDI objects ({s['dcs']} DCs) at {s['ms']} ms, "
                            f"{first['gdi']} ({first['dcs']}) after the first paint")
            break
    if (exit_["gdi"], exit_["dcs"]) != (0, 0):
        problems.append(f"{exit_['gdi']} GDI objects and {exit_['dcs']} DCs left at exit")

    total_paints = painted[-1]["paints"] if painted else 0
    settled = [s["rss"] for s in painted
               if s["rss"] is not None and s["paints"] >= WARM_UP * total_paints]
    if len(settled) < 4:
        problems.append(f"only {len(settled)} memory samples after the warm-up")
    elif max(settled) - min(settled) > RSS_WANDER_KB:
        problems.append(f"resident memory not flat: {min(settled)}..{max(settled)} kB")

    if not rating:
        problems.append("the game did not end rated at speed 1024")
    one_ms = [t for t, ms in timers if ms == 1]
    if not timers or timers[-1][1] != 1 or not one_ms:
        problems.append("the timer never reached the 1 ms interval")
    else:
        # At 1 ms a tick comes every millisecond; a click's paint may fall just before one.
        at_top = [s for s in painted if s["when"] == "periodic" and s["ms"] >= one_ms[0]]
        for a, b in zip(at_top, at_top[1:]):
            if abs((b["ticks"] - a["ticks"]) - (b["ms"] - a["ms"])) > 1:
                problems.append(f"{b['ticks'] - a['ticks']} ticks in the {b['ms'] - a['ms']} ms "
                                f"from {a['ms']} ms at the 1 ms interval")
                break
        if len(at_top) < 2:
            problems.append("too few samples at the 1 ms interval")
    rss = f"{min(settled)}..{max(settled)} kB" if settled else "?"
    notes = (f"game {seed}: {exit_['ticks']} ticks, {total_paints} paints, "
             f"{first['gdi']} GDI objects throughout, resident {rss} after warm-up, "
             f"1 ms interval from {one_ms[0] if one_ms else '?'} ms")
    return exit_["ticks"], notes, problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("replay")
    parser.add_argument("--ticks", type=int, default=1_000_000)
    parser.add_argument("--jobs", type=int, default=3)
    args = parser.parse_args()

    # ASan keeps freed memory from reuse for a while (256 MB by default) and the resident
    # size climbs until that is full; a smaller quarantine lets it settle early in a game
    # while still catching a use of anything freed in the last few thousand paints.
    env = dict(os.environ)
    env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"),
                                                 "quarantine_size_mb=16"]))
    started = time.monotonic()
    failed = False
    total = 0
    seed = 0
    running = []
    assumed = 330_000  # a game's length until one has finished: reaching 1024 takes more
    with tempfile.TemporaryDirectory() as work:
        while running or total < args.ticks:
            while len(running) < args.jobs and total + assumed * len(running) < args.ticks:
                seed += 1
                trace = os.path.join(work, f"game{seed}.trace")
                err = open(os.path.join(work, f"game{seed}.err"), "w+", encoding="utf-8")
                proc = subprocess.Popen(
                    [args.replay, "--start-tick", str(seed),
                     "--player", f"perfect:x1024,random:{seed}",
                     "--stats", str(STATS_EVERY_MS), "--trace", trace],
                    stdout=subprocess.DEVNULL, stderr=err, env=env)
                running.append((seed, proc, trace, err))
            seed_done, proc, trace, err = running.pop(0)
            code = proc.wait()
            err.seek(0)
            ticks, notes, problems = check_game(seed_done, trace, code, err.read())
            err.close()
            total += ticks
            if ticks:
                assumed = min(assumed, ticks)
            print(notes, flush=True)
            for p in problems:
                print(f"  FAIL: {p}", flush=True)
            failed |= bool(problems)
            if failed:
                for _, other, _, _ in running:
                    other.kill()
                    other.wait()
                break
    wall = time.monotonic() - started
    print(f"{seed} games, {total} ticks in all, {wall:.0f} s wall time")
    if total < args.ticks and not failed:
        print(f"  FAIL: fewer than {args.ticks} ticks")
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
