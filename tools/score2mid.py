#!/usr/bin/env python3
"""Turns a small text score (res/*.score) into a Standard MIDI File.

The score format, one statement a line; '#' after a space starts a comment:

    title  Some words               track name of the conductor track
    tempo  150                      quarter notes a minute
    meter  4/4
    division 480                    ticks a quarter note (optional)
    voice  NAME channel 1..16 [program 1..128] [volume 0..127] [pan 0..127]
                [reverb 0..127] [velocity 1..127] [gate 1..100]
    chord  NAME pitch pitch ...     a name for a set of pitches (a chord, a drum)
    drum   NAME pitch               the same, for one pitch
    section NAME                    the lines after it, up to the next section
    VOICE | bar | bar | ...         a voice's bars in the current section
    form   NAME NAME ...            the order the sections are played in

A bar is a list of notes, each `what/length`: `what` is a pitch (c4 is middle C, f#5,
bb3, or a MIDI number), a chord or drum name, `r` for a rest, or `[a b ...]` for several
at once; `length` is 1, 2, 4, 8, 16 or 32, then `.` for dotted or `t` for a triplet. A
trailing `~` ties a note into the next one of the same pitch. `(notes)*N` repeats a group;
a bar that is just `%` repeats the bar before. Every bar must fill the meter exactly, and
each voice a section names must have as many bars as the others; voices it leaves out rest.
Programs are numbered 1..128 as General MIDI lists them.

Every track ends at the same tick, the end of the last bar, and no note outlasts it, so
the file loops cleanly when played again from its start.
"""

import argparse
import re
import sys
from fractions import Fraction

NOTE_RE = re.compile(r"^([a-g])([#b]?)(-?\d)$")
COMMENT_RE = re.compile(r"(^|\s)#.*$")  # a '#' after a letter is a sharp
TOKEN_RE = re.compile(r"\([^)]*\)\*\d+|\[[^\]]*\]\S*|\S+")
PITCH_CLASS = {"c": 0, "d": 2, "e": 4, "f": 5, "g": 7, "a": 9, "b": 11}
VOICE_KEYS = {
    "channel": (1, 16),
    "program": (1, 128),
    "volume": (0, 127),
    "pan": (0, 127),
    "reverb": (0, 127),
    "velocity": (1, 127),
    "gate": (1, 100),
}


class ScoreError(Exception):
    pass


def fail(line_no, message):
    raise ScoreError(f"{line_no}: {message}" if line_no else message)


def parse_int(text, low, high, what, line_no):
    try:
        value = int(text)
    except ValueError:
        fail(line_no, f"{what} wants a number, not '{text}'")
    if not low <= value <= high:
        fail(line_no, f"{what} {value} is outside {low}..{high}")
    return value


class Score:
    def __init__(self):
        self.title = ""
        self.tempo = 120
        self.meter = (4, 4)
        self.division = 480
        self.voices = {}  # name -> settings, in order of declaration
        self.names = {}  # chord and drum names -> pitches
        self.sections = {}  # name -> {voice: [bars]}, a bar a list of (line, token)
        self.form = []
        self.form_line = 0

    def bar_length(self):
        beats, unit = self.meter
        return Fraction(beats, unit)


def pitch_of(text, score, line_no):
    m = NOTE_RE.match(text)
    if m:
        letter, accidental, octave = m.groups()
        value = 12 * (int(octave) + 1) + PITCH_CLASS[letter]
        value += {"#": 1, "b": -1, "": 0}[accidental]
    elif text.isdigit():
        value = int(text)
    else:
        fail(line_no, f"'{text}' is not a pitch")
    if not 0 <= value <= 127:
        fail(line_no, f"pitch '{text}' is outside the MIDI range")
    return value


def pitches_of(text, score, line_no):
    if text == "r":
        return []
    if text.startswith("["):
        if not text.endswith("]"):
            fail(line_no, f"'{text}' has no closing ']'")
        out = []
        for part in text[1:-1].split():
            out += pitches_of(part, score, line_no)
        return out
    if text in score.names:
        return list(score.names[text])
    return [pitch_of(text, score, line_no)]


def length_of(text, line_no):
    m = re.match(r"^(\d+)(\.?)(t?)$", text)
    if not m or int(m.group(1)) not in (1, 2, 4, 8, 16, 32):
        fail(line_no, f"'{text}' is not a note length")
    value = Fraction(1, int(m.group(1)))
    if m.group(2):
        value *= Fraction(3, 2)
    if m.group(3):
        value *= Fraction(2, 3)
    return value


def expand_bar(text, line_no):
    """The tokens of one bar, with (group)*N repetitions spelled out."""
    tokens = []
    for token in TOKEN_RE.findall(text):
        m = re.match(r"^\((.*)\)\*(\d+)$", token)
        if m:
            tokens += expand_bar(m.group(1), line_no) * int(m.group(2))
        else:
            tokens.append(token)
    return tokens


def parse(text):
    score = Score()
    section = None
    for line_no, raw in enumerate(text.splitlines(), 1):
        line = COMMENT_RE.sub("", raw).strip()
        if not line:
            continue
        word, _, rest = line.partition(" ")
        rest = rest.strip()
        args = rest.split()
        if word == "title":
            score.title = rest
        elif word == "tempo":
            score.tempo = parse_int(rest, 20, 400, "tempo", line_no)
        elif word == "meter":
            m = re.match(r"^(\d+)/(1|2|4|8|16)$", rest)
            if not m or not 1 <= int(m.group(1)) <= 32:
                fail(line_no, f"meter '{rest}' is not like 4/4")
            score.meter = (int(m.group(1)), int(m.group(2)))
        elif word == "division":
            score.division = parse_int(rest, 24, 960, "division", line_no)
        elif word == "voice":
            if not args or args[0] in score.voices:
                fail(line_no, "a voice needs a new name")
            settings = {"line": line_no, "velocity": 100, "gate": 90}
            pairs = args[1:]
            if len(pairs) % 2:
                fail(line_no, "voice settings come in pairs: key value")
            for key, value in zip(pairs[::2], pairs[1::2]):
                if key not in VOICE_KEYS:
                    fail(line_no, f"unknown voice setting '{key}'")
                settings[key] = parse_int(value, *VOICE_KEYS[key], key, line_no)
            if "channel" not in settings:
                fail(line_no, f"voice '{args[0]}' needs a channel")
            score.voices[args[0]] = settings
        elif word in ("chord", "drum"):
            if len(args) < 2 or (word == "drum" and len(args) != 2):
                fail(line_no, f"{word} wants a name and its pitch" + ("es" if word == "chord" else ""))
            score.names[args[0]] = [pitch_of(p, score, line_no) for p in args[1:]]
        elif word == "section":
            if len(args) != 1 or args[0] in score.sections:
                fail(line_no, "a section needs a new name")
            section = score.sections[args[0]] = {}
        elif word == "form":
            score.form = args
            score.form_line = line_no
        elif word in score.voices:
            if section is None:
                fail(line_no, f"bars of '{word}' come before any section")
            bars = section.setdefault(word, [])
            for bar_text in rest.split("|"):
                if not bar_text.strip():
                    continue
                if bar_text.strip() == "%":
                    if not bars:
                        fail(line_no, "'%' repeats a bar, but there is none before it")
                    bars.append(bars[-1])
                else:
                    bars.append([(line_no, t) for t in expand_bar(bar_text, line_no)])
        else:
            fail(line_no, f"unknown statement '{word}'")
    if not score.voices:
        fail(0, "the score has no voice")
    if not score.form:
        fail(0, "the score has no form")
    for name in score.form:
        if name not in score.sections:
            fail(score.form_line, f"the form names '{name}', which is no section")
    return score


class Track:
    def __init__(self):
        self.events = []  # (tick, order, bytes); order keeps offs before ons at one tick

    def add(self, tick, order, data):
        self.events.append((tick, order, len(self.events), bytes(data)))

    def chunk(self, end_tick):
        out = bytearray()
        now = 0
        for tick, _, _, data in sorted(self.events):
            out += varlen(tick - now) + data
            now = tick
        out += varlen(end_tick - now) + b"\xff\x2f\x00"
        return b"MTrk" + len(out).to_bytes(4, "big") + bytes(out)


def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def meta(kind, data):
    return bytes([0xFF, kind]) + varlen(len(data)) + data


def section_bars(score, name, line_no):
    """The number of bars of a section; every voice it names must agree."""
    counts = {voice: len(bars) for voice, bars in score.sections[name].items()}
    if not counts:
        fail(line_no, f"section '{name}' has no bars")
    if len(set(counts.values())) != 1:
        detail = ", ".join(f"{v} {n}" for v, n in counts.items())
        fail(line_no, f"the voices of section '{name}' disagree on its bars: {detail}")
    return next(iter(counts.values()))


def render_voice(score, name, settings, ticks_per_whole):
    """The notes of one voice over the whole form: (start, end, pitch) in ticks."""
    notes = []
    tied = {}  # pitch -> index into notes, for a note tied into the next one
    position = Fraction(0)
    for section_name in score.form:
        count = section_bars(score, section_name, score.form_line)
        bars = score.sections[section_name].get(name)
        for bar_index in range(count):
            if bars is None:
                position += score.bar_length()
                tied = {}
                continue
            bar_start = position
            for line_no, token in bars[bar_index]:
                what, slash, length_text = token.rpartition("/")
                if not slash:
                    fail(line_no, f"'{token}' has no length: write it like c4/8")
                ties = length_text.endswith("~")
                length = length_of(length_text.rstrip("~"), line_no)
                pitches = pitches_of(what, score, line_no)
                start = position
                position += length
                still_tied = {}
                for pitch in pitches:
                    if pitch in tied:
                        index = tied[pitch]
                        notes[index] = (notes[index][0], position, pitch)
                    else:
                        index = len(notes)
                        notes.append((start, position, pitch))
                    if ties:
                        still_tied[pitch] = index
                tied = still_tied
            if position - bar_start != score.bar_length():
                line_no = bars[bar_index][0][0] if bars[bar_index] else score.form_line
                fail(line_no, f"bar {bar_index + 1} of '{name}' in section '{section_name}' "
                     f"lasts {position - bar_start}, the meter wants {score.bar_length()}")
    end = position
    out = []
    for start, stop, pitch in notes:
        begin = int(start * ticks_per_whole)
        held = max(1, int((stop - start) * ticks_per_whole * settings["gate"] / 100))
        out.append((begin, min(begin + held, int(end * ticks_per_whole)), pitch))
    return out, int(end * ticks_per_whole)


def build(score):
    ticks_per_whole = score.division * 4
    conductor = Track()
    if score.title:
        conductor.add(0, 0, meta(0x03, score.title.encode("utf-8")))
    conductor.add(0, 0, meta(0x51, (60_000_000 // score.tempo).to_bytes(3, "big")))
    beats, unit = score.meter
    conductor.add(0, 0, meta(0x58, bytes([beats, unit.bit_length() - 1, 24, 8])))
    tracks = [conductor]
    end_tick = 0
    for name, settings in score.voices.items():
        track = Track()
        channel = settings["channel"] - 1
        track.add(0, 0, meta(0x03, name.encode("utf-8")))
        for key, controller in (("volume", 7), ("pan", 10), ("reverb", 91)):
            if key in settings:
                track.add(0, 0, [0xB0 | channel, controller, settings[key]])
        if "program" in settings:
            track.add(0, 0, [0xC0 | channel, settings["program"] - 1])
        notes, end_tick = render_voice(score, name, settings, ticks_per_whole)
        for start, stop, pitch in notes:
            track.add(start, 2, [0x90 | channel, pitch, settings["velocity"]])
            track.add(stop, 1, [0x80 | channel, pitch, 0])
        tracks.append(track)
    header = b"MThd" + (6).to_bytes(4, "big") + (1).to_bytes(2, "big")
    header += len(tracks).to_bytes(2, "big") + score.division.to_bytes(2, "big")
    seconds = end_tick / score.division * 60 / score.tempo
    return header + b"".join(t.chunk(end_tick) for t in tracks), seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("score")
    parser.add_argument("-o", "--output", required=True)
    parser.add_argument("-v", "--verbose", action="store_true", help="print the tune's length")
    options = parser.parse_args()
    try:
        with open(options.score, encoding="utf-8") as f:
            data, seconds = build(parse(f.read()))
    except (OSError, ScoreError) as e:
        sys.exit(f"score2mid: {options.score}:{e}")
    with open(options.output, "wb") as f:
        f.write(data)
    if options.verbose:
        print(f"{options.output}: {seconds:.1f} s", file=sys.stderr)


if __name__ == "__main__":
    main()
