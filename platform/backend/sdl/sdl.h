// Shared state of the SDL backend's files.
#pragma once

#include <SDL.h>
#include <windows.h>

#include <cstdint>

// The entry points of backend.h, reached through the desktop bootstrap's table.
bool SdlStartup();
uint64_t SdlNow();
uint32_t SdlTickOrigin();
void SdlPoll();
bool SdlWait(uint64_t deadline);
void SdlWake();
void SdlScreenSize(int* cx, int* cy);
void SdlWorkArea(int* cx, int* cy);
bool SdlWindowCreated(HWND hwnd);
void SdlWindowShown(HWND hwnd, int cmdShow);
void SdlWindowDestroyed(HWND hwnd);
void SdlWindowPainted(HWND hwnd);
int SdlBoxOpen(HWND owner, const char* text, const char* caption, UINT type);
bool SdlBoxAnswered(int box, int* result);
void SdlBoxClose(int box);

// Microseconds since start; SdlNow() is this in whole milliseconds.
uint64_t SdlNowMicros();

// Screen pixels per program pixel: GDK_SCALE, or the display's density.
int SdlScale();

// A top-level window's native counterpart. Painting lands in the core's client surface;
// presenting copies it to the screen at display rate, so a thousand paints a second cost
// the display nothing.
struct NativeWindow {
    HWND hwnd = nullptr;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    bool dirty = false;
};

NativeWindow* SdlFindWindow(HWND hwnd);
NativeWindow* SdlFindWindow(Uint32 sdlWindowId);
// Presents every window whose surface changed, when a display frame has passed since the
// last present. Returns the time of the next present due, or kNoDeadline.
uint64_t SdlPresentDue(uint64_t now);
void SdlPresentWindow(NativeWindow& w);

// Message boxes are windows of their own.
bool SdlBoxHandleEvent(const SDL_Event& e);
bool SdlAnyBoxAnswered();
void SdlBoxCancelAll();

// A close request that arrived while no window could take it (a signal during the
// introduction box) is delivered to the next window made.
void SdlRequestClose();
bool SdlTakePendingClose();
