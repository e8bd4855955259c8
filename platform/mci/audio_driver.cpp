#include "mci/audio_driver.h"

#include <alsa/asoundlib.h>

#include <cstdlib>

namespace {

std::vector<std::string> g_drivers = MciDefaultAudioDrivers();

// libasound reports a machine without a sound card in a dozen lines.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// PipeWire's library logs a missing daemon or configuration on stderr; a user who wants its
// log sets this already. Set before main, while no other thread can be reading the
// environment.
[[maybe_unused]] const bool kQuietPipeWire = setenv("PIPEWIRE_DEBUG", "0", 0) == 0;

// Opens a device on the driver SDL is set to use.
SDL_AudioDeviceID TryDriver(const SDL_AudioSpec& want)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return 0;
    // Without allowed changes SDL converts to whatever the device takes.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (!device)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return device;
}

}  // namespace

std::vector<std::string> MciDefaultAudioDrivers()
{
    // PipeWire, then the PulseAudio that PipeWire also serves, then the bare card. sndio is
    // left out: rare on Linux, and it writes to stderr itself when it finds no card.
    return {"pipewire", "pulseaudio", "alsa", "dsp"};
}

void MciSetAudioDrivers(std::vector<std::string> drivers) { g_drivers = std::move(drivers); }

SDL_AudioDeviceID MciOpenAudioDevice(const SDL_AudioSpec& want)
{
    snd_lib_error_set_handler(QuietAlsa);
    const char* chosen = getenv("SDL_AUDIODRIVER");
    if (chosen && *chosen)
        return TryDriver(want);
    SDL_AudioDeviceID device = 0;
    // A copy: this runs on the worker, which may still be here when exit destroys the list.
    const std::vector<std::string> drivers = g_drivers;
    for (const std::string& driver : drivers) {
        SDL_SetHint(SDL_HINT_AUDIODRIVER, driver.c_str());
        if ((device = TryDriver(want)))
            break;
    }
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return device;
}

void MciCloseAudioDevice(SDL_AudioDeviceID device)
{
    SDL_CloseAudioDevice(device);  // returns once the audio thread has let go
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::string MciAudioDriver()
{
    const char* driver = SDL_WasInit(SDL_INIT_AUDIO) ? SDL_GetCurrentAudioDriver() : nullptr;
    return driver ? driver : "";
}
