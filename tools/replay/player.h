// Built-in players for the replay tool. A player knows only what is on screen: the texts
// drawn (from the trace) and the pixels of the window's surface. It reads no game state.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

class Player {
public:
    virtual ~Player() = default;
    // Every trace line, before it is written; text is true for TextOutA lines.
    virtual void Saw(const std::string&, bool) {}
    // After every paint of a window.
    virtual void Painted(HWND) {}
    // True once the player has finished its part and hands over to the next.
    virtual bool Done() const { return false; }
};

// One player or several joined by commas, each taking over when the one before is done:
//   idle              never clicks
//   perfect:UNTIL_MS  clicks every disc at its target colour until UNTIL_MS
//   perfect:xSPEED    the same until the speed label reads xSPEED (1 to 1024)
//   random:SEED       clicks at random
// Idle and random never finish, so they come last. Null with a reason when spec is not one.
std::unique_ptr<Player> MakePlayer(const std::string& spec, std::string* error);
