// Which of SDL's audio drivers plays the music. A driver that starts may still have no
// device to open (ALSA on a machine without a sound card), so each is tried as far as
// opening a device: the user's SDL_AUDIODRIVER as it stands, or else the drivers a desktop
// may have, in turn. The ones that fail say nothing.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

// Tried in this order when SDL_AUDIODRIVER is not set.
std::vector<std::string> MciDefaultAudioDrivers();
void MciSetAudioDrivers(std::vector<std::string> drivers);

// Starts SDL's audio and opens the default device of the first driver that has one; 0 when
// none does, with SDL's audio stopped again.
SDL_AudioDeviceID MciOpenAudioDevice(const SDL_AudioSpec& want);
void MciCloseAudioDevice(SDL_AudioDeviceID device);

// The driver playing now; empty when none is.
std::string MciAudioDriver();
