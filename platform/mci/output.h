// Where the synthesizer's sound goes. A program links exactly one output: the headless
// renderer (tests and the replay tool, on the virtual clock) or the audio device (the game,
// in real time). The sequencer in commands.cpp knows nothing else of either.
#pragma once

#include <fluidsynth.h>

#include <cstdint>
#include <functional>

constexpr int kOutputSampleRate = 44100;

// Runs slow work (loading the synthesizer, opening or closing the output) where this output
// wants it: the device output on a thread of its own, so that the window thread never waits;
// the headless output at once, so that runs stay deterministic on the virtual clock (a test
// may hold the work back: headless_sound.h).
void MciOutputRunSlow(std::function<void()> job);
// Blocks until the slow work given so far has run; for tests and benchmarks.
void MciOutputFinishSlow();

// Slow work. Starts sounding the synthesizer at kOutputSampleRate, stereo; false when there
// is nowhere to play, and then songs are timed silently.
bool MciOutputOpen(fluid_synth_t* synth);
// Slow work, after MciOutputSilence: lets the output go.
void MciOutputClose();

// On the window thread, at once: the synthesizer is not rendered again and may be deleted.
void MciOutputSilence();

// Holds rendering off while a player is created or deleted: a device renders on a thread
// of its own.
void MciOutputLock();
void MciOutputUnlock();

// Brings the sound up to the window manager's clock. The headless renderer renders up to
// `now`; a device plays in real time and has nothing to do.
void MciOutputCatchUp(uint64_t now);

// Forgets everything rendered so far: a fresh headless run.
void MciOutputReset();
