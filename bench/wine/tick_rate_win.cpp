// Tick rate and lateness of real Win32 window timers (run under Wine, or on Windows), with
// the board painted on every tick as the game does: the other side of bench/tick_rate.cpp.
//   tick_rate_win [SECONDS_PER_SPEED]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "game/game.h"
#include "gfx/gfx.h"

namespace {

LARGE_INTEGER g_frequency;
std::vector<double> g_tickAt;  // microseconds

double NowMicros()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(g_frequency.QuadPart);
}

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

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? atof(argv[1]) : 3.0;
    QueryPerformanceFrequency(&g_frequency);
    g_hInst = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = BenchProc;
    wc.hInstance = g_hInst;
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
           "gap p50", "gap p99", "gap max");
    for (int speed : {1, 10, 100, 1024}) {
        const int interval = 1024 / speed;
        const int ticks = std::max(5, static_cast<int>(seconds * 1000 / std::max(interval, 10)));
        g_tickAt.clear();
        SetTimer(hwnd, GAME_TIMER_ID, interval, nullptr);
        MSG m;
        while (static_cast<int>(g_tickAt.size()) < ticks && GetMessageA(&m, nullptr, 0, 0) > 0)
            DispatchMessageA(&m);
        KillTimer(hwnd, GAME_TIMER_ID);
        // Real timers are not laid on a grid from the arming: the gaps between ticks tell.
        std::vector<double> gaps;
        for (size_t i = 1; i < g_tickAt.size(); ++i)
            gaps.push_back((g_tickAt[i] - g_tickAt[i - 1]) / 1000.0);
        std::sort(gaps.begin(), gaps.end());
        const double span = (g_tickAt.back() - g_tickAt.front()) / 1e6;
        const double rate = static_cast<double>(g_tickAt.size() - 1) / span;
        printf("%6d %7d ms %10.2f %10.2f %6.1f ms %6.1f ms %6.1f ms\n", speed, interval, rate,
               1000.0 / interval, gaps[gaps.size() / 2], gaps[gaps.size() * 99 / 100],
               gaps.back());
        fflush(stdout);
    }
    FreeGraphics();
    DestroyWindow(hwnd);
    return 0;
}
