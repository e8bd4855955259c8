// Shared state of the native Wayland backend's files.
#pragma once

#include <wayland-client.h>
#include <windows.h>

#include <cstdint>

#include "gdi/surface.h"

struct libdecor;
struct libdecor_frame;

// What the compositor offers, bound at start-up.
struct WlGlobals {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    bool wmBase = false;  // xdg_wm_base, which libdecor binds for itself
    libdecor* decor = nullptr;
    bool lost = false;  // the connection broke; nothing more will come
};
extern WlGlobals g_wl;

// Microseconds since start.
uint64_t WlNowMicros();

// Buffer pixels per program pixel (GDK_SCALE, else the output's scale, as the screen
// allows), and the wl_surface buffer scale that shows them crisp.
int WlScale();
int WlBufferScale();
// The first output's size in screen pixels.
void WlOutputSize(int* w, int* h);

// A wl_shm buffer of 32-bit pixels, busy from attach until the compositor releases it.
struct ShmBuffer {
    wl_buffer* buffer = nullptr;
    uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    bool busy = false;
};
bool ShmBufferMake(ShmBuffer& b, int width, int height, uint32_t format);
void ShmBufferFree(ShmBuffer& b);
// Fills the buffer with the surface, each pixel a square of `scale` buffer pixels.
void ShmBufferFill(ShmBuffer& b, const Surface& s, int scale);

// Input from the seat.
struct WlView;
void WlInputStart();  // listens to g_wl.seat
// A view going away is no longer under the pointer.
void WlInputForget(WlView* view);

// SIGINT and SIGTERM arrive as a readable descriptor; Taken drains it.
bool WlSignalsStart();
int WlSignalFd();
// Empties the pipe: true when SIGINT or SIGTERM came. *woken: anything came, a wake-up too.
bool WlSignalTaken(bool* woken);
// From any thread: a byte down the same pipe ends the wait.
void WlWakeThroughPipe();

// A toplevel showing program pixels: its surface, frame (libdecor), two shm buffers and
// the frame callback that paces presenting to the display.
struct WlView;
struct WlViewEvents {
    const Surface* (*pixels)(void* owner);
    void (*close)(void* owner);
    void (*button)(void* owner, bool down, int x, int y);  // program pixels
};
WlView* WlViewCreate(int width, int height, const WlViewEvents* events, void* owner);
void WlViewDestroy(WlView* view);
// Maps the view as a toplevel with a title (UTF-8) and, where given, a parent.
void WlViewShow(WlView* view, const char* title, WlView* parent);
void WlViewHide(WlView* view);
void WlViewMinimize(WlView* view);
// Marks the view changed; it is presented when the display next allows.
void WlViewDirty(WlView* view);
// Presents every changed view the display is ready for.
void WlPresentDirty();
WlView* WlViewOf(wl_surface* surface);
void WlViewButton(WlView* view, bool down, double sx, double sy);

// Windows and boxes, for input and close requests.
WlView* WlWindowView(HWND hwnd);  // null when hwnd has none
void WlRequestClose();
bool WlTakePendingClose();
void WlDeliverPendingClose();
bool WlBoxKey(uint32_t evdevKey);
bool WlAnyBoxAnswered();
void WlBoxCancelAll();

// backend.h's entry points, reached through the bootstrap's table.
bool WlStartup(bool last);
uint64_t WlNow();
uint32_t WlTickOrigin();
void WlPoll();
bool WlWait(uint64_t deadline);
void WlWake();
void WlScreenSize(int* cx, int* cy);
void WlWorkArea(int* cx, int* cy);
bool WlWindowCreated(HWND hwnd);
void WlWindowShown(HWND hwnd, int cmdShow);
void WlWindowDestroyed(HWND hwnd);
void WlWindowPainted(HWND hwnd);
int WlBoxOpen(HWND owner, const char* text, const char* caption, UINT type);
bool WlBoxAnswered(int box, int* result);
void WlBoxClose(int box);
