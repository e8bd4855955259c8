// The audio device output: SDL pulls the synthesizer's sound on its own audio thread, from
// whichever driver mci/audio_driver.h finds a device on. Opening a device may wait on a
// sound server, and closing one waits for SDL's audio thread (~60 ms): both are slow work,
// on the platform's worker thread.
#include <atomic>
#include <cstdio>

#include "backend/backend.h"
#include "mci/audio_driver.h"
#include "mci/limiter.h"
#include "mci/output.h"
#include "mci/worker.h"

namespace {

// Set and cleared by slow work; the window thread uses it only between a start it has
// taken and the close it queues after.
SDL_AudioDeviceID g_device = 0;
std::atomic<bool> g_saidNoDevice{false};
Limiter g_limiter;

void SayNoDevice()
{
    if (!g_saidNoDevice.exchange(true))
        fputs("No audio device: the music is silent.\n", stderr);
}

void Pull(void* synth, Uint8* stream, int bytes)
{
    const int frames = bytes / static_cast<int>(2 * sizeof(float));
    RenderLimited(static_cast<fluid_synth_t*>(synth), &g_limiter,
                  reinterpret_cast<float*>(stream), frames);
}

}  // namespace

void MciOutputRunSlow(std::function<void()> job)
{
    WorkerRun([job = std::move(job)] {
        job();
        BackendWake();  // the window thread takes up what the job finished
    });
}
void MciOutputFinishSlow() { WorkerFinish(); }

bool MciOutputOpen(fluid_synth_t* synth)
{
    SDL_AudioSpec want{};
    want.freq = kOutputSampleRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = Pull;
    want.userdata = synth;
    g_limiter = Limiter{};
    g_device = MciOpenAudioDevice(want);
    if (!g_device) {
        SayNoDevice();
        return false;
    }
    SDL_PauseAudioDevice(g_device, 0);
    return true;
}

// Pausing takes the device's lock, so once it returns SDL's audio thread has left Pull and
// only writes silence: the synthesizer is free to go. The device itself closes later.
void MciOutputSilence()
{
    if (g_device)
        SDL_PauseAudioDevice(g_device, 1);
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
