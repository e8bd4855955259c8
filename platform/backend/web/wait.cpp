// Start-up, the clock, and waiting: the worker blocks on the shared buffer until the page
// writes input or the next deadline (a timer, a frame to post) comes.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>

#include "backend/backend.h"
#include "backend/web/web.h"
#include "user/wm.h"

namespace {

double g_start = 0;
uint32_t g_tickOrigin = 0;
uint64_t g_lastPump = UINT64_MAX;

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

uint64_t BackendNow() { return static_cast<uint64_t>(WebNowExact()); }

uint32_t BackendTickOrigin() { return g_tickOrigin; }

// A replay's start tick, from the page's address: the tick count reads it as the first box is
// answered, as the replay tool answers its introduction box at once.
void WebFirstBoxAnswered()
{
    static bool done = false;
    const int tick = WebStartTick();
    if (done || tick < 0)
        return;
    done = true;
    g_tickOrigin = static_cast<uint32_t>(tick) - static_cast<uint32_t>(BackendNow());
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
            WebSleep(seen, static_cast<double>(wake) - now);
    }
}

void BackendScreenSize(int* cx, int* cy)
{
    // The page's viewport in program pixels, never below what a Win32 program may expect.
    WebViewport(cx, cy);
    *cx = std::max(*cx, 640);
    *cy = std::max(*cy, 480);
}

void BackendWorkArea(int* cx, int* cy) { BackendScreenSize(cx, cy); }
