// The boundary between the window manager core and the machine it runs on.
// Exactly one implementation is linked into a program: headless (tests, replay) or the desktop
// bootstrap (the game), which forwards to native Wayland or to SDL on X11, chosen at start-up.
// The core calls these; a backend reports input back through user/wm.h.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr uint64_t kNoDeadline = UINT64_MAX;

// Called by the entry point before WinMain. A backend that cannot run (no display) prints one
// line saying why and returns false; the process then exits non-zero.
bool BackendStartup();

// Milliseconds since the backend started; never goes backwards.
uint64_t BackendNow();
// What GetTickCount reads when BackendNow() is 0.
uint32_t BackendTickOrigin();

// Queues any input that has arrived, without blocking.
void BackendPoll();
// Blocks until the deadline passes or input arrives, queuing the input.
// Returns false when nothing can ever arrive (a headless run with nothing scheduled).
bool BackendWait(uint64_t deadline);
// From any thread: ends a BackendWait in progress, or makes the next one return at once, so
// that work finished off the window thread (the music starting) is taken up without delay.
void BackendWake();

// SM_CXSCREEN/SM_CYSCREEN and the client size of a maximised window (SM_CXFULLSCREEN...).
void BackendScreenSize(int* cx, int* cy);
void BackendWorkArea(int* cx, int* cy);

// Top-level windows: a native counterpart lives from creation to destruction. When it cannot
// be made, window creation fails.
bool BackendWindowCreated(HWND hwnd);
void BackendWindowShown(HWND hwnd, int cmdShow);
void BackendWindowDestroyed(HWND hwnd);
// The client surface changed; present it when the display next allows.
void BackendWindowPainted(HWND hwnd);

// A message box: opened, then polled by the core's modal loop until it has an answer.
int BackendBoxOpen(HWND owner, const char* text, const char* caption, UINT type);
bool BackendBoxAnswered(int box, int* result);
void BackendBoxClose(int box);
