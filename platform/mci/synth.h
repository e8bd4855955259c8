// The one synthesizer every song plays on: FluidSynth with a General MIDI soundfont,
// sounded by whichever output the program links.
#pragma once

#include <fluidsynth.h>

struct Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    bool sounding = false;  // an output renders it; otherwise songs are timed silently
};

// Starts loading the synthesizer on a thread of its own, so that the first SynthOpen finds
// it ready: the real program calls it at start-up, while the introduction box is up.
void SynthPrepare();
// Loads the first soundfont of MciSetSoundFonts' list that loads, and starts the output;
// false when no soundfont loads.
bool SynthOpen(Synth* s);
void SynthClose(Synth* s);
