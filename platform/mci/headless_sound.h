// What the headless output rendered, for tests that must hear the music: the synthesizer
// is rendered offline against the virtual clock, whenever the sequencer or a test looks.
#pragma once

#include <cstdint>

// The RMS level (full scale 1.0) of the rendered stereo signal between two times of the
// virtual clock, taken to 10 ms; sound is rendered up to now first. Time before any sound,
// or after it, counts as silence.
double HeadlessSoundLevel(uint64_t fromMs, uint64_t toMs);
// The largest sample magnitude rendered between the two times, likewise.
double HeadlessSoundPeak(uint64_t fromMs, uint64_t toMs);

// Off: nothing is rendered and songs are timed silently, as without an audio device. On by
// default; takes effect when the synthesizer next starts.
void HeadlessSetSoundRendering(bool on);

// Held: the synthesizer's start (and stop) waits, as behind a slow sound server, until
// HeadlessRunHeldWork; a test may never run it. A fresh run runs what is held and lets go.
void HeadlessHoldSlowWork();
void HeadlessRunHeldWork();
