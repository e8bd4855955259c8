// Start to first paint of the real program (its own WinMain) on real Win32 (run under Wine,
// or on Windows): the introduction box is answered at once, the first paint of the main
// window is timed, and the window is closed. The other side of bench/latency.cpp.
#include <windows.h>

#include <cstdio>

#include "game/game.h"

namespace {

LARGE_INTEGER g_frequency, g_start;
double g_firstPaintMs = -1;

double Ms()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - g_start.QuadPart) * 1000.0 /
           static_cast<double>(g_frequency.QuadPart);
}

LRESULT CALLBACK Activated(int code, WPARAM wParam, LPARAM lParam)
{
    char name[16];
    if (code == HCBT_ACTIVATE && GetClassNameA(reinterpret_cast<HWND>(wParam), name, 16) &&
        lstrcmpA(name, "#32770") == 0)
        PostMessageA(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDOK, 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK Returned(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == WM_PAINT && m->hwnd == g_hMainWnd &&
        g_firstPaintMs < 0) {
        g_firstPaintMs = Ms();
        PostMessageA(g_hMainWnd, WM_CLOSE, 0, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

int main()
{
    QueryPerformanceFrequency(&g_frequency);
    QueryPerformanceCounter(&g_start);
    SetWindowsHookExA(WH_CBT, Activated, nullptr, GetCurrentThreadId());
    SetWindowsHookExA(WH_CALLWNDPROCRET, Returned, nullptr, GetCurrentThreadId());
    char cmdLine[] = "";
    const int code = WinMain(GetModuleHandleA(nullptr), nullptr, cmdLine, SW_SHOWDEFAULT);
    printf("start to first paint:       %7.1f ms\n", g_firstPaintMs);
    return code;
}
