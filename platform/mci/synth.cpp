// Starting and stopping the synthesizer, quietly: FluidSynth logs to stderr by default.
#include "mci/synth.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>

#include "mci/mci.h"
#include "mci/output.h"

namespace {

std::vector<std::string> g_soundFonts = MciDefaultSoundFonts();
bool g_saidNoSoundFont = false;

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

// The synthesizer and its soundfont, without an output: ~10 ms with TimGM6mb.
void LoadSynth(Synth* s, const std::string& soundFont)
{
    SilenceLog();
    s->settings = new_fluid_settings();
    if (!s->settings)
        return;
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
    if (s->synth && fluid_synth_sfload(s->synth, soundFont.c_str(), 1) == FLUID_FAILED) {
        delete_fluid_synth(s->synth);
        s->synth = nullptr;
    }
}

// Slow work: after the output has been silenced.
void Release(Synth s)
{
    if (s.sounding)
        MciOutputClose();
    if (s.synth)
        delete_fluid_synth(s.synth);
    if (s.settings)
        delete_fluid_settings(s.settings);
}

// One start, shared by the window thread and the slow work that carries it out.
struct Start {
    Synth synth;
    std::atomic<bool> done{false};
};
std::shared_ptr<Start> g_start;

}  // namespace

std::vector<std::string> MciDefaultSoundFonts()
{
    // The small set this program depends on first: the tune sounds the same everywhere, and
    // it costs ~10 ms and a few MB. The system's default-GM may be FluidR3 (fluid-soundfont-
    // gm), ~50 ms and +24 MB, which would break the memory goal; it serves only without it.
    return {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
            "/usr/share/sounds/sf3/default-GM.sf3"};
}

void MciSetSoundFonts(std::vector<std::string> paths) { g_soundFonts = std::move(paths); }

std::string SynthChooseSoundFont()
{
    for (const std::string& path : g_soundFonts)
        if (IsSoundFont(path))
            return path;
    if (!g_saidNoSoundFont)
        fputs("No soundfont found: the music is silent.\n", stderr);
    g_saidNoSoundFont = true;
    return {};
}

void SynthStart(const std::string& soundFont)
{
    auto start = std::make_shared<Start>();
    g_start = start;
    MciOutputRunSlow([start, soundFont] {
        LoadSynth(&start->synth, soundFont);
        if (start->synth.synth)
            start->synth.sounding = MciOutputOpen(start->synth.synth);
        start->done.store(true, std::memory_order_release);
    });
}

bool SynthFinished() { return g_start && g_start->done.load(std::memory_order_acquire); }

bool SynthTake(Synth* s)
{
    if (!SynthFinished())
        return false;
    *s = g_start->synth;
    g_start.reset();
    return true;
}

void SynthAbandon()
{
    if (!g_start)
        return;
    // Runs after the start it follows, so the synthesizer is there to let go.
    MciOutputRunSlow([start = std::move(g_start)] {
        if (start->synth.sounding)
            MciOutputSilence();
        Release(start->synth);
    });
}

void SynthClose(Synth* s)
{
    if (s->sounding)
        MciOutputSilence();
    MciOutputRunSlow([synth = *s] { Release(synth); });
    *s = Synth{};
}

void SynthResetMessages() { g_saidNoSoundFont = false; }
