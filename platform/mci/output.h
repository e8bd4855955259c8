// Where the synthesizer's sound goes. A program links exactly one output: the headless
// renderer (tests and the replay tool, on the virtual clock) or the audio device (the game,
// in real time). The sequencer in commands.cpp knows nothing else of either.
#pragma once

#include <fluidsynth.h>

#include <cstdint>

// Starts sounding the synthesizer at kOutputSampleRate, stereo; false when there is nowhere
// to play, and then songs are timed silently.
constexpr int kOutputSampleRate = 44100;
bool MciOutputOpen(fluid_synth_t* synth);
// Stops sounding it; the synthesizer is not rendered again and may be deleted.
void MciOutputClose();

// Holds rendering off while a player is created or deleted: a device renders on a thread
// of its own.
void MciOutputLock();
void MciOutputUnlock();

// Brings the sound up to the window manager's clock. The headless renderer renders up to
// `now`; a device plays in real time and has nothing to do.
void MciOutputCatchUp(uint64_t now);

// Forgets everything rendered so far: a fresh headless run.
void MciOutputReset();
