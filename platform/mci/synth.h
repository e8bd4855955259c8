// The one synthesizer every song plays on: FluidSynth with a General MIDI soundfont,
// sounded by whichever output the program links. Starting it is slow (a soundfont to read,
// an audio device to open, a sound server that may never answer) and so is stopping it (a
// device's thread to join), so both run as the output's slow work, never on the window
// thread; the window thread asks whether a start has finished.
#pragma once

#include <fluidsynth.h>

#include <string>

struct Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;  // none when the soundfont did not load after all
    bool sounding = false;           // an output renders it; otherwise songs are timed silently
};

// The soundfont a start would load: the first of MciSetSoundFonts' list that is one. Reads
// a few bytes of each; empty when none is, and then one line on stderr says so, once a run.
std::string SynthChooseSoundFont();
// Begins starting the synthesizer and its output; returns at once.
void SynthStart(const std::string& soundFont);
// True once the start has finished; then SynthTake hands over the synthesizer.
bool SynthFinished();
bool SynthTake(Synth* s);
// Forgets a start under way; its synthesizer is let go once it has started.
void SynthAbandon();
// Lets a synthesizer go: silent at once, the rest as slow work.
void SynthClose(Synth* s);
// A fresh run may say again that it has no soundfont.
void SynthResetMessages();
