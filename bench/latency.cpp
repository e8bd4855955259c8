// Start to first paint, and click to presented verdict, for the real program on the real
// (SDL) backend. The introduction box is answered at once by a synthetic Return. Needs a
// display; see bench/xvfb_bench.sh.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "backend/backend.h"
#include "backend/sdl/sdl.h"
#include "game/game.h"
#include "user/trace.h"

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point g_start;
double g_firstPresentMs = -1, g_clickMs = -1, g_verdictPresentMs = -1;
bool g_verdictPainted = false;

double Ms(Clock::time_point t) { return std::chrono::duration<double, std::milli>(t - g_start).count(); }

void Push(const SDL_Event& e)
{
    SDL_Event copy = e;
    SDL_PushEvent(&copy);
}

void Saw(const std::string& line)
{
    const double now = Ms(Clock::now());
    if (getenv("LATENCY_DEBUG"))
        fprintf(stderr, "%8.1f %s\n", now, line.c_str());
    if (line.rfind("MessageBoxA", 0) == 0 && g_firstPresentMs < 0) {
        SDL_Event key{};
        key.type = SDL_KEYDOWN;
        key.key.keysym.sym = SDLK_RETURN;
        Push(key);
    } else if (line == "Present" && g_firstPresentMs < 0) {
        g_firstPresentMs = now;
        // A click on disc 0 right away is an early verdict.
        SDL_Event click{};
        click.type = SDL_MOUSEBUTTONDOWN;
        click.button.button = SDL_BUTTON_LEFT;
        click.button.windowID = SDL_GetWindowID(SdlFindWindow(g_hMainWnd)->window);
        click.button.x = 56;
        click.button.y = 176;
        g_clickMs = now;
        Push(click);
    } else if (line.rfind("TextOutA x=40 y=120", 0) == 0 && g_clickMs >= 0) {
        g_verdictPainted = true;
    } else if (line == "Present" && g_verdictPainted && g_verdictPresentMs < 0) {
        g_verdictPresentMs = now;
        PostMessageA(g_hMainWnd, WM_CLOSE, 0, 0);
    }
}

}  // namespace

int main()
{
    g_start = Clock::now();
    if (!BackendStartup())
        return 1;
    SetTraceSink(Saw);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
    char cmdLine[] = "";
    const int code = WinMain(instance, nullptr, cmdLine, SW_SHOWDEFAULT);
    SetTraceSink(nullptr);
    printf("start to first present:     %7.1f ms\n", g_firstPresentMs);
    printf("click to presented verdict: %7.1f ms\n", g_verdictPresentMs - g_clickMs);
    return code;
}
