// The one synthesizer every song plays on: FluidSynth with a General MIDI soundfont,
// sounded by whichever output the program links.
#pragma once

#include <fluidsynth.h>

struct Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    bool sounding = false;  // an output renders it; otherwise songs are timed silently
};

// Loads the first soundfont of MciSetSoundFonts' list that loads, and starts the output;
// false when no soundfont loads.
bool SynthOpen(Synth* s);
void SynthClose(Synth* s);
