// The thread's message queue. GetMessageA serves, in order: posted messages, the quit
// request, input, WM_PAINT while an update region is non-empty, then due WM_TIMERs.
// Messages sent with SendMessageA never queue: one thread, so they are plain calls.
#include <mmsystem.h>
#include <windows.h>

#include <algorithm>
#include <deque>

#include "backend/backend.h"
#include "user/trace.h"
#include "user/wm.h"

namespace {

std::deque<MSG> g_posted;
std::deque<MSG> g_input;
bool g_quitPending = false;
int g_quitCode = 0;
std::vector<const WmWakeSource*> g_wakeSources;

MSG Make(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG m{};
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    return m;
}

void FireDueWakeSources()
{
    const uint64_t now = BackendNow();
    // A source may remove itself while firing; walk a copy.
    for (const WmWakeSource* s : std::vector<const WmWakeSource*>(g_wakeSources))
        if (std::find(g_wakeSources.begin(), g_wakeSources.end(), s) != g_wakeSources.end() &&
            s->NextDue() <= now)
            s->Fire(now);
}

}  // namespace

void WmResetQueue()
{
    g_posted.clear();
    g_input.clear();
    g_quitPending = false;
    g_quitCode = 0;
    g_wakeSources.clear();
}

void WmAddWakeSource(const WmWakeSource* source)
{
    if (std::find(g_wakeSources.begin(), g_wakeSources.end(), source) == g_wakeSources.end())
        g_wakeSources.push_back(source);
}

void WmRemoveWakeSource(const WmWakeSource* source)
{
    g_wakeSources.erase(std::remove(g_wakeSources.begin(), g_wakeSources.end(), source),
                        g_wakeSources.end());
}

bool WmAcceptsInput(HWND hwnd)
{
    const Window* w = WmFind(hwnd);
    return w && w->enabled && !w->destroying;
}

void WmQueueInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (WmAcceptsInput(hwnd))
        g_input.push_back(Make(hwnd, message, wParam, lParam));
}

bool WmPeekMessage(MSG* msg, bool remove)
{
    BackendPoll();
    FireDueWakeSources();
    if (!g_posted.empty()) {
        *msg = g_posted.front();
        if (remove)
            g_posted.pop_front();
        return true;
    }
    if (g_quitPending) {
        *msg = Make(nullptr, WM_QUIT, static_cast<WPARAM>(g_quitCode), 0);
        if (remove)
            g_quitPending = false;
        return true;
    }
    // A window may have been disabled since its input was queued (a modal box opened).
    while (!g_input.empty() && !WmAcceptsInput(g_input.front().hwnd))
        g_input.pop_front();
    if (!g_input.empty()) {
        *msg = g_input.front();
        if (remove)
            g_input.pop_front();
        return true;
    }
    if (WmTakePaint(msg))
        return true;
    return WmTakeDueTimer(BackendNow(), msg, remove);
}

bool WmWaitForMessage()
{
    uint64_t deadline = WmNextTimerDue();
    for (const WmWakeSource* s : g_wakeSources)
        deadline = std::min(deadline, s->NextDue());
    return BackendWait(deadline);
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND, UINT, UINT)
{
    if (!msg)
        return -1;
    for (;;) {
        if (WmPeekMessage(msg, true))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        if (!WmWaitForMessage())
            return -1;
    }
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeMsg)
{
    return msg && WmPeekMessage(msg, (removeMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL WINAPI TranslateMessage(const MSG*)
{
    return FALSE;  // no keyboard character translation is needed by a mouse-only program
}

LRESULT WINAPI DispatchMessageA(const MSG* msg)
{
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    const Window* w = WmFind(msg->hwnd);
    if (!w)
        return 0;
    if (msg->message == MM_MCINOTIFY)
        TraceCall("MM_MCINOTIFY code=%lu device=%ld", static_cast<unsigned long>(msg->wParam),
                  static_cast<long>(msg->lParam));
    return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const Window* w = WmFind(hwnd);
    if (!w)
        return 0;
    return w->proc(hwnd, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !WmFind(hwnd))
        return FALSE;
    g_posted.push_back(Make(hwnd, message, wParam, lParam));
    return TRUE;
}

VOID WINAPI PostQuitMessage(int exitCode)
{
    g_quitPending = true;
    g_quitCode = exitCode;
}
