// What one game tick costs the window manager: a WM_TIMER, the invalidation it makes and
// the WM_PAINT that follows, with the class brush erasing the whole 594x275 client area.
#include <benchmark/benchmark.h>

#include "backend/headless/headless.h"

namespace {

LRESULT CALLBACK TickProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TIMER) {
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND MakeWindow()
{
    HeadlessReset(0);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = TickProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "BENCH";
    RegisterClassExA(&wc);
    HWND h = CreateWindowExA(0, "BENCH", "", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 600,
                             300, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(h, SW_SHOWNORMAL);
    UpdateWindow(h);
    return h;
}

void BM_TickAndPaint(benchmark::State& state)
{
    HWND h = MakeWindow();
    SetTimer(h, 1, 1, nullptr);
    MSG m;
    for (auto _ : state) {
        // One timer message and one paint message per iteration.
        for (int i = 0; i < 2 && GetMessageA(&m, nullptr, 0, 0) > 0; ++i)
            DispatchMessageA(&m);
    }
    state.SetItemsProcessed(state.iterations());
    HeadlessReset(0);
}
BENCHMARK(BM_TickAndPaint);

void BM_TickOnly(benchmark::State& state)
{
    HWND h = MakeWindow();
    SetTimer(h, 1, 1, nullptr);
    // A window proc that does not invalidate: the queue's own cost per tick.
    SetTimer(h, 1, 1, [](HWND, UINT, UINT_PTR, DWORD) {});
    MSG m;
    for (auto _ : state) {
        GetMessageA(&m, nullptr, 0, 0);
        DispatchMessageA(&m);
    }
    state.SetItemsProcessed(state.iterations());
    HeadlessReset(0);
}
BENCHMARK(BM_TickOnly);

}  // namespace

BENCHMARK_MAIN();
