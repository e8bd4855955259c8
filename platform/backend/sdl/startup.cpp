// Start-up, the clock and the screen.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "backend/backend.h"
#include "backend/sdl/sdl.h"
#include "backend/sdl/x11_errors.h"
#include "mci/mci.h"

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point g_start = Clock::now();


// Starts SDL's video on one driver (null: SDL's own choice); says why it failed when last.
bool InitVideo(const char* driver, bool last = true)
{
    if (driver)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    // An X server resets when its last client leaves, and drops whoever connects meanwhile:
    // a start that races another program's exit is refused once. A few tries, 310 ms in all
    // at worst, ride that out.
    const char* named = driver ? driver : getenv("SDL_VIDEODRIVER");
    const bool x11 = named && strcmp(named, "x11") == 0;
    for (Uint32 pause = 10;; pause *= 2) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
            return true;
        if (!x11 || pause > 160)
            break;
        SDL_Delay(pause);
    }
    if (last)
        fprintf(stderr, "discfire: cannot open a display%s%s: %s\n", driver ? " through " : "",
                driver ? driver : "", SDL_GetError());
    return false;
}

// An event queued from another thread wakes a wait by a message to a window, which may be
// gone by then (see x11_errors.cpp). The audio threads queue device arrivals and removals,
// which the program has no use for; SDL queues no event it ignores.
void IgnoreOtherThreadsEvents()
{
    SDL_EventState(SDL_AUDIODEVICEADDED, SDL_IGNORE);
    SDL_EventState(SDL_AUDIODEVICEREMOVED, SDL_IGNORE);
}

}  // namespace

bool SdlStartup()
{
    // The default renderer goes through software OpenGL: ~100 MB and ~1 ms a frame for a
    // 594x275 window. SDL's own software renderer does the same job for almost nothing.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Scaled pixels stay crisp.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // Closing a window is the program's business (WM_CLOSE); SDL_QUIT then means a signal.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SdlHandleX11Errors();
    // Left to itself SDL falls back to an offscreen driver, where the game would run unseen.
    // Only a desktop will do, unless the user names a driver.
    if (getenv("SDL_VIDEODRIVER")) {
        if (!InitVideo(nullptr))
            return false;
        IgnoreOtherThreadsEvents();
        MciPrepare();
        return true;
    }
    // Wayland is the native backend's (SDL 2.26's own driver cannot present in software and
    // crashes on a seatless compositor); here it is X11 only.
    if (!getenv("DISPLAY") || !*getenv("DISPLAY")) {
        fprintf(stderr, "discfire: cannot open a display: DISPLAY is not set\n");
        return false;
    }
    if (!InitVideo("x11"))
        return false;
    IgnoreOtherThreadsEvents();
    // The soundfont loads while the introduction box is up, not when the window is made.
    MciPrepare();
    return true;
}

uint64_t SdlNowMicros()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - g_start).count());
}

uint64_t SdlNow() { return SdlNowMicros() / 1000; }

uint32_t SdlTickOrigin()
{
    // Milliseconds of the monotonic clock when the program started: what a freshly
    // started program sees in GetTickCount, and a seed that differs from run to run.
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(g_start.time_since_epoch()).count());
}

void SdlScreenSize(int* cx, int* cy)
{
    SDL_Rect r{0, 0, 1024, 768};
    SDL_GetDisplayBounds(0, &r);
    *cx = r.w / SdlScale();
    *cy = r.h / SdlScale();
}

void SdlWorkArea(int* cx, int* cy)
{
    SDL_Rect r{0, 0, 1024, 768};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0)
        SDL_GetDisplayBounds(0, &r);
    *cx = r.w / SdlScale();
    *cy = r.h / SdlScale();
}
