// Keeps the sound below full scale. General MIDI files may stack many loud notes, and the
// synthesizer sums them unbounded (one real song peaked at 1.2): past the ceiling the gain
// drops at once, on the very sample, and comes back over a fifth of a second.
#pragma once

#include <fluidsynth.h>

constexpr float kLimiterCeiling = 0.9f;

struct Limiter {
    float gain = 1.0f;
};

// Renders `frames` stereo frames of the synthesizer, interleaved, through the limiter.
void RenderLimited(fluid_synth_t* synth, Limiter* limiter, float* out, int frames);
