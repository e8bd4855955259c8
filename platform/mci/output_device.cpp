// The audio device output: SDL pulls the synthesizer's sound on its own audio thread, from
// whichever driver mci/audio_driver.h finds a device on.
#include <cstdio>

#include "mci/audio_driver.h"
#include "mci/output.h"

namespace {

SDL_AudioDeviceID g_device = 0;
bool g_saidNoDevice = false;

void SayNoDevice()
{
    if (!g_saidNoDevice)
        fputs("No audio device: the music is silent.\n", stderr);
    g_saidNoDevice = true;
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
    SDL_AudioSpec want{};
    want.freq = kOutputSampleRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = Pull;
    want.userdata = synth;
    g_device = MciOpenAudioDevice(want);
    if (!g_device) {
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
    MciCloseAudioDevice(g_device);
    g_device = 0;
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

// A fresh run may say again that it has no device.
void MciOutputReset() { g_saidNoDevice = false; }
