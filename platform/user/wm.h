// Window manager internals shared by the user/ modules and the backends.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gdi/surface.h"

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    WNDCLASSEXA wc{};
};

struct Window {
    HWND handle = nullptr;
    const WindowClass* cls = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND owner = nullptr;
    std::string title;  // code page 932
    RECT frame{};       // outer rectangle, screen coordinates
    POINT clientOrigin{};  // client area's top-left, relative to the frame
    bool enabled = true;
    bool visible = false;
    bool minimized = false;
    bool destroying = false;
    bool hasUpdate = false;  // update region, kept as its bounding box in client coordinates
    RECT update{};
    bool erasePending = false;
    Surface surface;  // the client area's pixels; there always is one, minimised or not
};

// Our window manager's fixed frame: what a caption window adds around its client area.
constexpr int kCaptionHeight = 19;
constexpr int kFixedFrame = 3;

Window* WmFind(HWND hwnd);
// Live top-level windows, oldest first.
std::vector<HWND> WmTopLevelWindows();

// Input arriving from a backend; dropped when the target is gone or disabled.
void WmQueueInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool WmAcceptsInput(HWND hwnd);

// The queue in the order GetMessageA serves it; false when nothing is ready now.
bool WmPeekMessage(MSG* msg, bool remove);
// Blocks until something may be ready; false when nothing can ever arrive.
bool WmWaitForMessage();

// Something outside the queue that needs the loop to wake at a time of its own (a song
// reaching its end). NextDue returns kNoDeadline when idle; Fire runs once due.
struct WmWakeSource {
    uint64_t (*NextDue)();
    void (*Fire)(uint64_t now);
};
void WmAddWakeSource(const WmWakeSource* source);
void WmRemoveWakeSource(const WmWakeSource* source);

// Timer and paint sources of the queue.
bool WmTakeDueTimer(uint64_t now, MSG* msg, bool remove);
uint64_t WmNextTimerDue();
// WM_TIMER messages taken from the queue since the last reset: a run's ticks.
uint64_t WmTimerMessagesTaken();
void WmDropTimers(HWND hwnd);
bool WmTakePaint(MSG* msg);

// Forgets every window, class, timer and queued message; for a fresh headless run.
void WmReset();
void WmResetQueue();
void WmResetTimers();
