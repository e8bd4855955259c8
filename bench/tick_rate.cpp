// Tick rate and lateness of window timers on the real (SDL) backend, with the board painted
// on every tick as the game does. Run it in an X session or under Xvfb:
//   tick_rate [SECONDS_PER_SPEED]
// The web build makes it too, run in a browser by bench/web_bench.mjs.
// For each speed: the requested interval, ticks per second against 1000/interval, and the
// lateness of each WM_TIMER behind its due time (median, p99, max).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "backend/backend.h"
#include "game/game.h"
#include "gfx/gfx.h"
#ifdef __EMSCRIPTEN__
#include "backend/web/web.h"
#else
#include "backend/sdl/sdl.h"
#endif

namespace {

uint64_t NowMicros()
{
#ifdef __EMSCRIPTEN__
    return static_cast<uint64_t>(WebNowExact() * 1000);
#else
    return SdlNowMicros();
#endif
}

int g_interval = 0;
std::vector<uint64_t> g_tickAt;  // backend microseconds

LRESULT CALLBACK BenchProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_TIMER:
        g_tickAt.push_back(NowMicros());
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        PaintBoard(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return instance ? 0 : 1;  // unused: this program has its own main
}

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? atof(argv[1]) : 3.0;
    if (!BackendStartup())
        return 1;
    g_hInst = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = BenchProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "TICKBENCH";
    RegisterClassExA(&wc);
    HWND hwnd = CreateWindowExA(0, "TICKBENCH", "tick rate", WS_CAPTION | WS_SYSMENU, 0, 0, 600,
                                300, nullptr, nullptr, g_hInst, nullptr);
    if (!hwnd)
        return 1;
    g_hMainWnd = hwnd;
    LoadGraphics();
    AdvanceGame(hwnd);  // a running board to paint
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);

    printf("%6s %9s %10s %10s %9s %9s %9s\n", "speed", "interval", "ticks/s", "expected",
           "late p50", "late p99", "late max");
    for (int speed : {1, 10, 100, 1024}) {
        g_interval = 1024 / speed;
        const int ticks = std::max(5, static_cast<int>(seconds * 1000 / g_interval));
        g_tickAt.clear();
        // Ticks are due on the millisecond grid laid from the moment of arming.
        const uint64_t armedUs = BackendNow() * 1000;
        SetTimer(hwnd, GAME_TIMER_ID, g_interval, nullptr);
        MSG m;
        while (static_cast<int>(g_tickAt.size()) < ticks && GetMessageA(&m, nullptr, 0, 0) > 0)
            DispatchMessageA(&m);
        KillTimer(hwnd, GAME_TIMER_ID);
        // Lateness behind the grid point each tick belongs to; a skipped tick shows in the rate.
        const uint64_t period = static_cast<uint64_t>(g_interval) * 1000;
        std::vector<double> late;
        for (uint64_t t : g_tickAt)
            late.push_back(static_cast<double>((t - armedUs) % period));
        std::sort(late.begin(), late.end());
        const double span = static_cast<double>(g_tickAt.back() - g_tickAt.front()) / 1e6;
        const double rate = static_cast<double>(g_tickAt.size() - 1) / span;
        printf("%6d %7d ms %10.2f %10.2f %6.0f us %6.0f us %6.0f us\n", speed, g_interval, rate,
               1000.0 / g_interval, late[late.size() / 2], late[late.size() * 99 / 100],
               late.back());
    }
    FreeGraphics();
    DestroyWindow(hwnd);
    return 0;
}
