// Window timers. A timer's ticks are laid on a grid from the moment it was armed, so the
// rate matches the period without drift; a tick that comes late yields one WM_TIMER and
// the grid skips what was missed, so timers never pile up.
#include <windows.h>

#include <algorithm>
#include <climits>

#include "backend/backend.h"
#include "user/trace.h"
#include "user/wm.h"

namespace {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    uint64_t period;
    uint64_t due;
    TIMERPROC proc;
};

std::vector<Timer> g_timers;
UINT_PTR g_nextThreadTimer = 0x7FF0;
uint64_t g_taken = 0;

Timer* Find(HWND hwnd, UINT_PTR id)
{
    for (Timer& t : g_timers)
        if (t.hwnd == hwnd && t.id == id)
            return &t;
    return nullptr;
}

// The earliest due timer, first armed first on ties.
Timer* Earliest()
{
    Timer* best = nullptr;
    for (Timer& t : g_timers)
        if (!best || t.due < best->due)
            best = &t;
    return best;
}

}  // namespace

void WmResetTimers()
{
    g_timers.clear();
    g_taken = 0;
}

uint64_t WmTimerMessagesTaken() { return g_taken; }

void WmDropTimers(HWND hwnd)
{
    g_timers.erase(std::remove_if(g_timers.begin(), g_timers.end(),
                                  [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
                   g_timers.end());
}

uint64_t WmNextTimerDue()
{
    const Timer* t = Earliest();
    return t ? t->due : kNoDeadline;
}

bool WmTakeDueTimer(uint64_t now, MSG* msg, bool remove)
{
    Timer* t = Earliest();
    if (!t || t->due > now)
        return false;
    *msg = MSG{};
    msg->hwnd = t->hwnd;
    msg->message = WM_TIMER;
    msg->wParam = t->id;
    msg->lParam = reinterpret_cast<LPARAM>(t->proc);
    msg->time = GetTickCount();
    if (remove) {
        ++g_taken;
        t->due += t->period;
        if (t->due <= now)
            t->due += ((now - t->due) / t->period + 1) * t->period;
    }
    return true;
}

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    if (hwnd && !WmFind(hwnd))
        return 0;
    if (!hwnd && !Find(nullptr, id))
        id = g_nextThreadTimer++;
    // Periods below 1 ms cannot be honoured; above INT_MAX they are out of range on Windows.
    const uint64_t period = std::clamp<uint64_t>(elapse, 1, INT_MAX);
    TraceCall("SetTimer id=%lu ms=%lu", static_cast<unsigned long>(id),
              static_cast<unsigned long>(period));
    const uint64_t due = BackendNow() + period;
    if (Timer* t = Find(hwnd, id)) {
        t->period = period;
        t->due = due;
        t->proc = proc;
    } else {
        g_timers.push_back(Timer{hwnd, id, period, due, proc});
    }
    return hwnd ? (id ? id : 1) : id;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id)
{
    TraceCall("KillTimer id=%lu", static_cast<unsigned long>(id));
    for (auto it = g_timers.begin(); it != g_timers.end(); ++it) {
        if (it->hwnd == hwnd && it->id == id) {
            g_timers.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}
