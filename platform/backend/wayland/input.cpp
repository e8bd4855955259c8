// The seat: the left button on our surfaces, and the keys that answer a message box.
#include <linux/input-event-codes.h>
#include <unistd.h>

#include "backend/wayland/wayland.h"

namespace {

wl_pointer* g_pointer = nullptr;
wl_keyboard* g_keyboard = nullptr;
WlView* g_under = nullptr;  // the view the pointer is over, if any of ours
double g_x = 0, g_y = 0;
wl_surface* g_cursorSurface = nullptr;
ShmBuffer g_cursor;

// Our own arrow. A desktop cursor theme would cost a megabyte of memory for one image.
constexpr const char* kArrow[] = {
    "X          ", "XX         ", "X.X        ", "X..X       ", "X...X      ", "X....X     ",
    "X.....X    ", "X......X   ", "X.......X  ", "X........X ", "X.........X", "X......XXXX",
    "X...X..X   ", "X..XX..X   ", "X.X  X..X  ", "XX   X..X  ", "X     X..X ", "      X..X ",
    "       XX  ",
};
constexpr int kArrowW = 11, kArrowH = 19;

void ShowArrow(uint32_t serial)
{
    const int scale = WlBufferScale();
    if (!g_cursorSurface) {
        if (!ShmBufferMake(g_cursor, kArrowW * scale, kArrowH * scale, WL_SHM_FORMAT_ARGB8888))
            return;
        for (int y = 0; y < g_cursor.height; ++y)
            for (int x = 0; x < g_cursor.width; ++x) {
                const char c = kArrow[y / scale][x / scale];
                g_cursor.pixels[y * g_cursor.width + x] =
                    c == 'X' ? 0xFF000000u : c == '.' ? 0xFFFFFFFFu : 0;
            }
        g_cursorSurface = wl_compositor_create_surface(g_wl.compositor);
        wl_surface_set_buffer_scale(g_cursorSurface, scale);
        wl_surface_attach(g_cursorSurface, g_cursor.buffer, 0, 0);
        wl_surface_damage_buffer(g_cursorSurface, 0, 0, g_cursor.width, g_cursor.height);
        wl_surface_commit(g_cursorSurface);
    }
    wl_pointer_set_cursor(g_pointer, serial, g_cursorSurface, 0, 0);
}

void PointerEnter(void*, wl_pointer*, uint32_t serial, wl_surface* surface, wl_fixed_t x,
                  wl_fixed_t y)
{
    // Enters onto the frame's own surfaces are libdecor's business.
    g_under = surface ? WlViewOf(surface) : nullptr;
    g_x = wl_fixed_to_double(x);
    g_y = wl_fixed_to_double(y);
    if (g_under)
        ShowArrow(serial);
}

void PointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) { g_under = nullptr; }

void PointerMotion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y)
{
    g_x = wl_fixed_to_double(x);
    g_y = wl_fixed_to_double(y);
}

void PointerButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state)
{
    if (g_under && button == BTN_LEFT)
        WlViewButton(g_under, state == WL_POINTER_BUTTON_STATE_PRESSED, g_x, g_y);
}

void PointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void PointerFrame(void*, wl_pointer*) {}
void PointerAxisSource(void*, wl_pointer*, uint32_t) {}
void PointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void PointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
void PointerAxisValue120(void*, wl_pointer*, uint32_t, int32_t) {}

const wl_pointer_listener kPointerListener = {PointerEnter,      PointerLeave,   PointerMotion,
                                              PointerButton,     PointerAxis,    PointerFrame,
                                              PointerAxisSource, PointerAxisStop,
                                              PointerAxisDiscrete, PointerAxisValue120};

// Keys are read as evdev codes: the few a box answers to need no keymap.
void KeyboardKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); }
void KeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void KeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}

void KeyboardKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state)
{
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED)
        WlBoxKey(key);
}

void KeyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void KeyboardRepeat(void*, wl_keyboard*, int32_t, int32_t) {}

const wl_keyboard_listener kKeyboardListener = {KeyboardKeymap, KeyboardEnter,
                                                KeyboardLeave,  KeyboardKey,
                                                KeyboardModifiers, KeyboardRepeat};

void SeatCapabilities(void*, wl_seat* seat, uint32_t caps)
{
    if ((caps & WL_SEAT_CAPABILITY_POINTER) && !g_pointer) {
        g_pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(g_pointer, &kPointerListener, nullptr);
    } else if (!(caps & WL_SEAT_CAPABILITY_POINTER) && g_pointer) {
        wl_pointer_release(g_pointer);
        g_pointer = nullptr;
        g_under = nullptr;
    }
    if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && !g_keyboard) {
        g_keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(g_keyboard, &kKeyboardListener, nullptr);
    } else if (!(caps & WL_SEAT_CAPABILITY_KEYBOARD) && g_keyboard) {
        wl_keyboard_release(g_keyboard);
        g_keyboard = nullptr;
    }
}

void SeatName(void*, wl_seat*, const char*) {}

const wl_seat_listener kSeatListener = {SeatCapabilities, SeatName};

}  // namespace

void WlInputStart() { wl_seat_add_listener(g_wl.seat, &kSeatListener, nullptr); }

void WlInputForget(WlView* view)
{
    if (g_under == view)
        g_under = nullptr;
}
