// Start to the first presented board, and click to presented verdict, for the real program on
// the native Wayland backend. The introduction box is answered at once with a Return and
// disc 0 clicked, both through the backend's own input path. Prints the monotonic clock
// at the first board frame so a caller can measure from execve. Needs a compositor; see
// bench/wayland_bench.sh.
#include <linux/input-event-codes.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "backend/backend.h"
#include "backend/wayland/wayland.h"
#include "game/game.h"
#include "user/trace.h"
#include "user/wm.h"

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point g_start;
Clock::time_point g_firstBoard;
double g_firstPresentMs = -1, g_clickMs = -1, g_verdictPresentMs = -1;
bool g_boxAnswered = false, g_verdictPainted = false;

double Ms(Clock::time_point t) { return std::chrono::duration<double, std::milli>(t - g_start).count(); }

uint64_t g_clickDue = kNoDeadline;

// Answers the box as soon as it is up, as the keyboard would.
uint64_t AnswerDue() { return g_boxAnswered ? kNoDeadline : 0; }
void Answer(uint64_t) { g_boxAnswered = WlBoxKey(KEY_ENTER); }
const WmWakeSource kAnswer = {AnswerDue, Answer};

// A click on disc 0 half a second into the game, once the compositor has settled (weston
// fades the closed box out meanwhile), is an early verdict.
uint64_t ClickDue() { return g_clickDue; }
void Click(uint64_t)
{
    g_clickDue = kNoDeadline;
    g_clickMs = Ms(Clock::now());
    WlView* view = WlWindowView(g_hMainWnd);
    const double k = static_cast<double>(WlScale()) / WlBufferScale();
    WlViewButton(view, true, 56 * k, 176 * k);
    WlViewButton(view, false, 56 * k, 176 * k);
}
const WmWakeSource kClick = {ClickDue, Click};

void Saw(const std::string& line)
{
    const Clock::time_point t = Clock::now();
    if (getenv("LATENCY_DEBUG"))
        fprintf(stderr, "%8.1f %s\n", Ms(t), line.c_str());
    if (line == "Present" && g_boxAnswered && g_firstPresentMs < 0) {
        g_firstBoard = t;
        g_firstPresentMs = Ms(t);
        g_clickDue = BackendNow() + 500;
    } else if (line.rfind("TextOutA x=40 y=120", 0) == 0 && g_clickMs >= 0) {
        g_verdictPainted = true;
    } else if (line == "Present" && g_verdictPainted && g_verdictPresentMs < 0) {
        g_verdictPresentMs = Ms(t);
        PostMessageA(g_hMainWnd, WM_CLOSE, 0, 0);
    }
}

}  // namespace

int main()
{
    g_start = Clock::now();
    if (!BackendStartup())
        return 1;
    SetTraceSink(Saw);
    WmAddWakeSource(&kAnswer);
    WmAddWakeSource(&kClick);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
    char cmdLine[] = "";
    const int code = WinMain(instance, nullptr, cmdLine, SW_SHOWDEFAULT);
    SetTraceSink(nullptr);
    printf("main to first board frame:  %7.1f ms\n", g_firstPresentMs);
    printf("click to presented verdict: %7.1f ms\n", g_verdictPresentMs - g_clickMs);
    printf("first board frame at %lld ns\n",
           static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                      g_firstBoard.time_since_epoch())
                                      .count()));
    return code;
}
