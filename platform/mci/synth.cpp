// Starting and stopping the synthesizer, quietly: FluidSynth logs to stderr by default.
#include "mci/synth.h"

#include <cstdio>
#include <cstring>
#include <thread>

#include "mci/mci.h"
#include "mci/output.h"

namespace {

std::vector<std::string> g_soundFonts = MciDefaultSoundFonts();

void SilenceLog()
{
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
}

// FluidSynth hands files it does not know to other loaders, which complain on stderr; so
// only a RIFF 'sfbk' file, an SF2 or SF3 soundfont, is given to it.
bool IsSoundFont(const std::string& path)
{
    char head[12] = {};
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    const bool whole = fread(head, 1, sizeof head, f) == sizeof head;
    fclose(f);
    return whole && memcmp(head, "RIFF", 4) == 0 && memcmp(head + 8, "sfbk", 4) == 0;
}

}  // namespace

std::vector<std::string> MciDefaultSoundFonts()
{
    // The system's chosen General MIDI set first, then the small one this program installs.
    return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
            "/usr/share/sounds/sf2/TimGM6mb.sf2"};
}

void MciSetSoundFonts(std::vector<std::string> paths) { g_soundFonts = std::move(paths); }

namespace {

// The synthesizer and its soundfont, without an output: the slow part of starting, ~25 ms
// of it reading the soundfont.
bool LoadSynth(Synth* s, const std::vector<std::string>& soundFonts)
{
    SilenceLog();
    s->settings = new_fluid_settings();
    if (!s->settings)
        return false;
    fluid_settings_setnum(s->settings, "synth.sample-rate", kOutputSampleRate);
    fluid_settings_setnum(s->settings, "synth.gain", 0.5);
    fluid_settings_setint(s->settings, "synth.polyphony", 128);
    // Samples load with the first program that needs them: most of a General MIDI set is
    // never heard, and loading it all costs time and memory.
    fluid_settings_setint(s->settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(s->settings, "synth.lock-memory", 0);
    // A song that ends must not reset the channels under the next one's release tails.
    fluid_settings_setint(s->settings, "player.reset-synth", 0);
    s->synth = new_fluid_synth(s->settings);
    for (const std::string& path : soundFonts)
        if (s->synth && IsSoundFont(path) &&
            fluid_synth_sfload(s->synth, path.c_str(), 1) != FLUID_FAILED)
            return true;
    SynthClose(s);
    return false;
}

// A synthesizer loaded ahead on a thread of its own, for the first SynthOpen to take.
struct Prepared {
    std::thread loader;
    Synth synth;
    bool loaded = false;

    void Join()
    {
        if (loader.joinable())
            loader.join();
    }
    ~Prepared()
    {
        Join();
        if (loaded)
            SynthClose(&synth);
    }
};
Prepared g_prepared;

}  // namespace

void SynthPrepare()
{
    if (g_prepared.loader.joinable() || g_prepared.loaded)
        return;
    g_prepared.loader = std::thread(
        [fonts = g_soundFonts] { g_prepared.loaded = LoadSynth(&g_prepared.synth, fonts); });
}

bool SynthOpen(Synth* s)
{
    g_prepared.Join();
    if (g_prepared.loaded) {
        *s = g_prepared.synth;
        g_prepared.synth = Synth{};
        g_prepared.loaded = false;
    } else if (!LoadSynth(s, g_soundFonts)) {
        return false;
    }
    s->sounding = MciOutputOpen(s->synth);
    return true;
}

void SynthClose(Synth* s)
{
    if (s->sounding)
        MciOutputClose();
    if (s->synth)
        delete_fluid_synth(s->synth);
    if (s->settings)
        delete_fluid_settings(s->settings);
    *s = Synth{};
}
