// Input and waiting. Waits run against absolute deadlines on the monotonic clock: timers are
// due at whole milliseconds, and SDL's own timers drift.
#include <time.h>

#include <algorithm>

#include "backend/backend.h"
#include "backend/sdl/sdl.h"
#include "user/wm.h"

namespace {

uint64_t g_lastPump = UINT64_MAX;

void HandleWindowEvent(const SDL_WindowEvent& e)
{
    NativeWindow* w = SdlFindWindow(e.windowID);
    if (!w)
        return;
    Window* core = WmFind(w->hwnd);
    switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE:
        WmQueueInput(w->hwnd, WM_CLOSE, 0, 0);  // dropped while a modal box disables it
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        w->dirty = true;
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        if (core)
            core->minimized = true;
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (core)
            core->minimized = false;
        w->dirty = true;
        break;
    default:
        break;
    }
}

void HandleButton(const SDL_MouseButtonEvent& e)
{
    NativeWindow* w = SdlFindWindow(e.windowID);
    if (!w || e.button != SDL_BUTTON_LEFT)
        return;
    const bool down = e.type == SDL_MOUSEBUTTONDOWN;
    WmQueueInput(w->hwnd, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? MK_LBUTTON : 0,
                 MAKELPARAM(e.x / SdlScale(), e.y / SdlScale()));
}

void Handle(const SDL_Event& e)
{
    if (SdlBoxHandleEvent(e))
        return;
    switch (e.type) {
    case SDL_QUIT:
        // SIGINT or SIGTERM: give up any box and close the program's window, now or as soon
        // as one exists and takes input.
        SdlBoxCancelAll();
        SdlRequestClose();
        break;
    case SDL_WINDOWEVENT:
        HandleWindowEvent(e.window);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        HandleButton(e.button);
        break;
    default:
        break;
    }
}

void DeliverPendingClose()
{
    std::vector<HWND> windows = WmTopLevelWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (WmAcceptsInput(*it)) {
            if (SdlTakePendingClose())
                WmQueueInput(*it, WM_CLOSE, 0, 0);
            return;
        }
    }
}

// Handles every event waiting; true when there was any.
bool Pump()
{
    bool any = false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        Handle(e);
        any = true;
    }
    DeliverPendingClose();
    g_lastPump = SdlNow();
    return any;
}

}  // namespace

void SdlPoll()
{
    // The queue is read thousands of times a second at top speed; the display needs
    // pumping once a millisecond at most.
    const uint64_t now = SdlNow();
    if (now != g_lastPump)
        Pump();
    SdlPresentDue(now);
}

// Any event ends SDL's wait; this one is dropped unread by Handle. SDL_PushEvent may be
// called from any thread.
void SdlWake()
{
    if (SDL_WasInit(SDL_INIT_EVENTS)) {
        SDL_Event e{};
        e.type = SDL_USEREVENT;
        SDL_PushEvent(&e);
    }
}

bool SdlWait(uint64_t deadline)
{
    for (;;) {
        // Input may have come since the queue was last read, and a box may have its answer.
        if (Pump() || SdlAnyBoxAnswered())
            return true;
        const uint64_t nowUs = SdlNowMicros();
        const uint64_t present = SdlPresentDue(nowUs / 1000);
        const uint64_t wake = std::min(deadline, present);
        if (deadline != kNoDeadline && nowUs >= deadline * 1000)
            return true;
        SDL_Event e;
        int got = 0;
        if (wake == kNoDeadline) {
            got = SDL_WaitEvent(&e);
        } else if (wake * 1000 > nowUs + 2000) {
            // SDL's wait can overshoot by a millisecond: wake a millisecond early through it,
            // then close in with short sleeps.
            const uint64_t ms = (wake * 1000 - nowUs) / 1000 - 1;
            got = SDL_WaitEventTimeout(&e, static_cast<int>(std::min<uint64_t>(ms, 1u << 30)));
        } else if (wake * 1000 > nowUs) {
            const uint64_t us = std::min<uint64_t>(wake * 1000 - nowUs, 200);
            timespec ts{0, static_cast<long>(us * 1000)};
            nanosleep(&ts, nullptr);
        }
        if (got) {
            Handle(e);
            Pump();
            return true;
        }
    }
}
