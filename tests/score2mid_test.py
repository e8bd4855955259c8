"""The score tool: the file it writes, and the faults in a score it refuses."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import score2mid  # noqa: E402

SCORE = """
tempo    120
meter    2/4
division 480
voice a  channel 1  program 1  velocity 90  gate 100
voice d  channel 10 gate 50
drum  hit 38
chord two c4 e4
section S
a | c4/4 d4/4 | e4/8~ e4/8 two/4 |
d | r/2       | %                |
form S S
"""


def events(data):
    """Each track's events as (tick, bytes), by a reader that knows what the tool writes."""
    tracks, pos = [], 14
    while pos < len(data):
        assert data[pos:pos + 4] == b"MTrk"
        end = pos + 8 + int.from_bytes(data[pos + 4:pos + 8], "big")
        pos, tick, out = pos + 8, 0, []
        while pos < end:
            delta = 0
            while True:
                delta = (delta << 7) | (data[pos] & 0x7F)
                pos += 1
                if not data[pos - 1] & 0x80:
                    break
            tick += delta
            size = 3 + data[pos + 2] if data[pos] == 0xFF else 2 if data[pos] >> 4 == 0xC else 3
            out.append((tick, data[pos:pos + size]))
            pos += size
        tracks.append(out)
    return tracks


class Score2Mid(unittest.TestCase):
    def test_writes_every_track_to_the_end_of_the_last_bar(self):
        data, seconds = score2mid.build(score2mid.parse(SCORE))
        self.assertEqual(data[:14], b"MThd\0\0\0\x06\0\x01\0\x03\x01\xe0")
        self.assertEqual(seconds, 4.0)  # four bars of 2/4 at 120
        conductor, a, d = events(data)
        self.assertIn((0, b"\xff\x51\x03\x07\xa1\x20"), conductor)  # 500000 us a quarter
        for track in (conductor, a, d):
            self.assertEqual(track[-1], (3840, b"\xff\x2f\x00"))
        notes = [(t, e[1]) for t, e in a if e[0] == 0x90]
        # The tie makes one e4 of a quarter; the chord sounds both its notes.
        once = [(0, 60), (480, 62), (960, 64), (1440, 60), (1440, 64)]
        self.assertEqual(notes, once + [(1920 + t, k) for t, k in once])
        offs = [(t, e[1]) for t, e in a if e[0] == 0x80]
        self.assertIn((1440, 64), offs)
        self.assertIn(b"\xc0\x00", [e for _, e in a])  # program 1
        self.assertFalse([e for _, e in d if e[0] & 0xF0 == 0x90])  # the drums rest

    def test_refuses_a_faulty_score_and_names_its_line(self):
        head = "tempo 120\nmeter 2/4\nvoice a channel 1\nvoice b channel 2\nsection S\n"
        cases = [
            ("a bar too long", "a | c4/2 d4/4 |\nform S", "6: bar 1 of 'a' in section 'S' lasts 3/4"),
            ("voices of unequal length", "a | c4/2 | c4/2 |\nb | c4/2 |\nform S", "voices of section 'S' disagree"),
            ("an unknown pitch", "a | x4/4 c4/4 |\nform S", "6: 'x4' is not a pitch"),
            ("a note without length", "a | c4 c4/4 |\nform S", "6: 'c4' has no length"),
            ("a section the form lacks", "a | c4/2 |\nform S T", "7: the form names 'T'"),
            ("an unknown statement", "a | c4/2 |\nloop S", "7: unknown statement 'loop'"),
        ]
        for what, body, message in cases:
            with self.subTest(what):
                with self.assertRaises(score2mid.ScoreError) as caught:
                    score2mid.build(score2mid.parse(head + body))
                self.assertIn(message, str(caught.exception))


if __name__ == "__main__":
    unittest.main()
