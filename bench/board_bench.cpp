// What painting the board costs: a whole WM_PAINT (the erase of the 594x275 client area and
// PaintBoard) on the headless surface, the primitives it is made of, and a soak of 100,000
// paints that must leave GDI objects and memory where they were.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>

#include "backend/headless/headless.h"
#include "game/game.h"
#include "gdi/gdi.h"
#include "gfx/gfx.h"
#include "user/wm.h"

namespace {

bool g_drawBoard = true;

LRESULT CALLBACK BoardProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (g_drawBoard)
            PaintBoard(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A game in progress: four discs burning, one under a verdict that is not yet due.
GameState MidGame()
{
    GameState s{};
    s.speed = 3;
    s.successCount = 7;
    s.failureCount = 4;
    const int values[DISC_COUNT] = {12, 30, OK_TOP - 3, 51, 70};
    for (int i = 0; i < DISC_COUNT; ++i) {
        s.discValue[i] = values[i];
        s.discTarget[i] = 20 + 7 * i;
    }
    return s;
}

HWND Open()
{
    HeadlessReset(1);
    g_hInst = reinterpret_cast<HINSTANCE>(0x400000);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = BoardProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "BOARD";
    RegisterClassExA(&wc);
    HWND h = CreateWindowExA(0, "BOARD", "", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 600,
                             300, nullptr, nullptr, g_hInst, nullptr);
    g_hMainWnd = h;
    ShowWindow(h, SW_SHOWNORMAL);
    LoadGraphics();
    g_game = MidGame();
    return h;
}

void Close()
{
    FreeGraphics();
    HeadlessReset(0);
}

void Paint(HWND h, int i)
{
    g_game = MidGame();
    g_game.flamePhase = static_cast<uint8_t>(i & 1);
    g_game.bigLabelPaints = i % 4 == 0;  // now and then the large label
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
}

void BM_PaintBoard(benchmark::State& state)
{
    g_drawBoard = state.range(0) != 0;
    HWND h = Open();
    int i = 0;
    for (int warm = 0; warm < 100; ++warm)
        Paint(h, i++);
    for (auto _ : state)
        Paint(h, i++);
    Close();
    g_drawBoard = true;
}
// 1: erase and board; 0: the erase and the paint frame alone.
BENCHMARK(BM_PaintBoard)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);

// The primitives, each drawn onto the client surface as the painter draws them.
void BM_Primitive(benchmark::State& state)
{
    Open();
    Surface s;
    s.Resize(594, 275, 0xFFFFFF);
    HDC dc = GdiOpenSurfaceDC(&s, RECT{0, 0, 594, 275});
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const char* instruction = "\x82\xD9\x82\xC7\x82\xE6\x82\xA2\x8F\xC4\x82\xAB\x8B\xEF\x8D\x87"
                              "\x82\xC9\x82\xC8\x82\xC1\x82\xBD\x82\xE7\x81\x41\x43\x44\x2D\x52";
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0:
            DrawDisc(dc, 40, 160, 30);
            break;
        case 1:
            DrawBitmapAt(dc, g_bmpFlameA, 44, 200);
            break;
        case 2:
            DrawLabel(dc, 8, 230, instruction);
            break;
        case 3:
            SelectObject(dc, g_fontLarge);
            DrawLabel(dc, 8, 80, "x3 CD-R");
            SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
            break;
        }
    }
    GdiCloseDC(dc);
    Close();
}
BENCHMARK(BM_Primitive)->ArgName("disc_flame_label_biglabel")->DenseRange(0, 3)
    ->Unit(benchmark::kMicrosecond);

long ResidentKiB()
{
    long pages = 0, resident = 0;
    FILE* f = fopen("/proc/self/statm", "r");
    if (f) {
        if (fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// 100,000 paints after a warm-up: nothing may grow.
void BM_PaintSoak(benchmark::State& state)
{
    HWND h = Open();
    int i = 0;
    for (int warm = 0; warm < 10000; ++warm)
        Paint(h, i++);
    const size_t objects = GdiLiveObjects();
    const long memory = ResidentKiB();
    for (auto _ : state)
        for (int n = 0; n < 100000; ++n)
            Paint(h, i++);
    state.counters["object_growth"] = static_cast<double>(GdiLiveObjects() - objects);
    state.counters["rss_growth_KiB"] = static_cast<double>(ResidentKiB() - memory);
    if (GdiLiveObjects() != objects)
        state.SkipWithError("GDI objects leaked");
    Close();
}
BENCHMARK(BM_PaintSoak)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
