// Reading the display and waiting: ppoll() on the compositor's socket and the signal pipe
// against absolute deadlines on the monotonic clock, as timers fall due at whole milliseconds.
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "backend/backend.h"
#include "backend/wayland/wayland.h"

namespace {

uint64_t g_lastPump = UINT64_MAX;

// The compositor went away: nothing will ever be shown again, so the program closes.
void Lost()
{
    if (!g_wl.lost)
        fprintf(stderr, "discfire: lost the connection to the Wayland compositor\n");
    g_wl.lost = true;
    WlBoxCancelAll();
    WlRequestClose();
}

// Reads and handles whatever has arrived, waiting up to timeoutUs (negative: for ever).
// True when anything came.
bool Read(int64_t timeoutUs)
{
    bool any = false;
    wl_display* d = g_wl.display;
    pollfd fds[2] = {{WlSignalFd(), POLLIN, 0}, {-1, POLLIN, 0}};
    if (!g_wl.lost) {
        while (wl_display_prepare_read(d) != 0) {
            if (wl_display_dispatch_pending(d) < 0)
                break;
            any = true;
        }
        if (wl_display_flush(d) < 0 && errno != EAGAIN)
            Lost();
        fds[1].fd = wl_display_get_fd(d);
        if (any)
            timeoutUs = 0;
    }
    timespec ts{static_cast<time_t>(timeoutUs / 1000000),
                static_cast<long>(timeoutUs % 1000000) * 1000};
    const int ready = ppoll(fds, g_wl.lost ? 1 : 2, timeoutUs < 0 ? nullptr : &ts, nullptr);
    if (!g_wl.lost) {
        if (ready > 0 && (fds[1].revents & (POLLIN | POLLERR | POLLHUP))) {
            if (wl_display_read_events(d) < 0)
                Lost();
        } else {
            wl_display_cancel_read(d);
        }
        const int n = g_wl.lost ? 0 : wl_display_dispatch_pending(d);
        if (n < 0)
            Lost();
        any = any || n > 0;
    }
    bool woken = false;
    if (WlSignalTaken(&woken)) {
        // SIGINT or SIGTERM: give up any box and close the program's window, now or as soon
        // as one exists and takes input.
        WlBoxCancelAll();
        WlRequestClose();
        any = true;
    }
    WlDeliverPendingClose();
    return any || woken || g_wl.lost;
}

bool Pump()
{
    const bool any = Read(0);
    g_lastPump = WlNow();
    WlPresentDirty();
    if (!g_wl.lost)
        wl_display_flush(g_wl.display);
    return any;
}

}  // namespace

void WlPoll()
{
    // The queue is read thousands of times a second at top speed; the display needs
    // reading once a millisecond at most.
    if (WlNow() != g_lastPump)
        Pump();
}

void WlWake() { WlWakeThroughPipe(); }

bool WlWait(uint64_t deadline)
{
    // Input may have come since the queue was last read, and a box may have its answer.
    if (Pump() || WlAnyBoxAnswered())
        return true;
    for (;;) {
        const uint64_t nowUs = WlNowMicros();
        if (deadline != kNoDeadline && nowUs >= deadline * 1000)
            return true;
        const int64_t timeout =
            deadline == kNoDeadline ? -1 : static_cast<int64_t>(deadline * 1000 - nowUs);
        if (Read(timeout)) {
            g_lastPump = WlNow();
            WlPresentDirty();
            if (!g_wl.lost)
                wl_display_flush(g_wl.display);
            return true;
        }
    }
}
