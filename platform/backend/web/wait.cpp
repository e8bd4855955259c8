// Start-up, the clock, and waiting: the worker blocks on the shared buffer until the page
// writes input or the next deadline (a timer, a frame to post) comes.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "backend/backend.h"
#include "backend/web/web.h"
#include "user/wm.h"

namespace {

double g_start = 0;
uint32_t g_tickOrigin = 0;
uint64_t g_lastPump = UINT64_MAX;
bool g_replayTickPending = false;
uint64_t g_heldNow = kNoDeadline;  // a clock reading promised to GetTickCount

void Handle(const WebEvent& e)
{
    switch (e.kind) {
    case kWebMouseDown:
    case kWebMouseUp: {
        const HWND hwnd = WebWindowFromId(e.target);
        const bool down = e.kind == kWebMouseDown;
        if (hwnd)  // dropped by the core while a modal box disables the window
            WmQueueInput(hwnd, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? MK_LBUTTON : 0,
                         MAKELPARAM(e.a, e.b));
        break;
    }
    case kWebBoxDown:
    case kWebBoxUp:
        WebBoxButton(e.target, e.kind == kWebBoxDown, e.a, e.b);
        break;
    case kWebBoxKey:
        WebBoxKey(e.target, e.a);
        break;
    default:
        break;
    }
}

// A long Atomics.wait can overshoot by milliseconds, a short one hardly: wake early from a
// long one, then close in with short ones.
double Slept(double ms)
{
    constexpr double kEarly = 2;
    return ms > 2 * kEarly ? ms - kEarly : ms;
}

bool Pump()
{
    bool any = false;
    WebEvent e;
    while (WebTakeEvent(&e)) {
        Handle(e);
        any = true;
    }
    g_lastPump = BackendNow();
    return any;
}

}  // namespace

double WebNowExact() { return emscripten_get_now() - g_start; }

bool BackendStartup()
{
    if (!WebShared()) {
        fprintf(stderr, "discfire: the page gave no shared buffer (it must be cross-origin isolated)\n");
        return false;
    }
    g_start = emscripten_get_now();
    g_tickOrigin = WebWallTick();
    return true;
}

uint64_t BackendNow()
{
    if (g_heldNow != kNoDeadline)
        return std::exchange(g_heldNow, kNoDeadline);
    return static_cast<uint64_t>(WebNowExact());
}

// A replay's start tick, from the page's address: the tick count reads it at its first reading
// once the first window is being made (the game seeds its generator there), as in the replay
// tool, whose introduction box and loading take no time.
void WebFirstWindowMade()
{
    static bool done = false;
    if (!done && WebStartTick() >= 0)
        g_replayTickPending = true;
    done = true;
}

uint32_t BackendTickOrigin()
{
    if (g_replayTickPending) {
        // The clock reading that goes with this origin is the next one GetTickCount takes.
        g_replayTickPending = false;
        g_heldNow = static_cast<uint64_t>(WebNowExact());
        g_tickOrigin = static_cast<uint32_t>(WebStartTick()) - static_cast<uint32_t>(g_heldNow);
    }
    return g_tickOrigin;
}

void BackendPoll()
{
    // The queue is read thousands of times a second at top speed; input needs looking at
    // once a millisecond at most.
    const uint64_t now = BackendNow();
    if (now != g_lastPump)
        Pump();
    WebPresentDue(now);
}

bool BackendWait(uint64_t deadline)
{
    for (;;) {
        const int seen = WebWakeCount();
        if (Pump() || WebAnyBoxAnswered())
            return true;
        const double now = WebNowExact();
        if (deadline != kNoDeadline && now >= static_cast<double>(deadline))
            return true;
        const uint64_t wake = std::min(deadline, WebPresentDue(static_cast<uint64_t>(now)));
        if (wake == kNoDeadline)
            WebSleep(seen, -1);
        else if (static_cast<double>(wake) > now)
            WebSleep(seen, Slept(static_cast<double>(wake) - now));
    }
}

// No thread runs beside the program in its worker: whatever it waits for comes from the page,
// which wakes the wait through the shared buffer itself.
void BackendWake() {}

void BackendScreenSize(int* cx, int* cy)
{
    // The page's viewport in program pixels, never below what a Win32 program may expect.
    WebViewport(cx, cy);
    *cx = std::max(*cx, 640);
    *cy = std::max(*cy, 480);
}

void BackendWorkArea(int* cx, int* cy) { BackendScreenSize(cx, cy); }
