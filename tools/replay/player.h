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
};

// "idle", "perfect:UNTIL_MS" or "random:SEED"; null with a reason when spec is not one.
std::unique_ptr<Player> MakePlayer(const std::string& spec, std::string* error);
