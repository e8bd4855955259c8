// The audio device output: SDL pulls the synthesizer's sound on its own audio thread, in
// whatever driver it finds (PipeWire, PulseAudio, ALSA, ... or SDL_AUDIODRIVER's choice).
#include <SDL.h>
#include <alsa/asoundlib.h>

#include <cstdio>

#include "mci/output.h"

namespace {

SDL_AudioDeviceID g_device = 0;

// libasound reports a machine without a sound card in a dozen lines; one of ours will do.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

void SayNoDevice()
{
    static bool said = false;
    if (!said)
        fputs("No audio device: the music is silent.\n", stderr);
    said = true;
}

void Pull(void* synth, Uint8* stream, int bytes)
{
    float* out = reinterpret_cast<float*>(stream);
    const int frames = bytes / static_cast<int>(2 * sizeof(float));
    fluid_synth_write_float(static_cast<fluid_synth_t*>(synth), frames, out, 0, 2, out, 1, 2);
}

}  // namespace

bool MciOutputOpen(fluid_synth_t* synth)
{
    snd_lib_error_set_handler(QuietAlsa);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        SayNoDevice();
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = kOutputSampleRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = Pull;
    want.userdata = synth;
    // Without allowed changes SDL converts to whatever the device takes.
    g_device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (!g_device) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        SayNoDevice();
        return false;
    }
    SDL_PauseAudioDevice(g_device, 0);
    return true;
}

void MciOutputClose()
{
    if (!g_device)
        return;
    SDL_CloseAudioDevice(g_device);  // returns once the audio thread has let go
    g_device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void MciOutputLock()
{
    if (g_device)
        SDL_LockAudioDevice(g_device);
}

void MciOutputUnlock()
{
    if (g_device)
        SDL_UnlockAudioDevice(g_device);
}

void MciOutputCatchUp(uint64_t) {}

void MciOutputReset() {}
