// Shared state of the web backend's files. The program runs in a Web Worker of its own and
// blocks there; the page shows what it posts and writes input into a small shared buffer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// Input from the page, as it writes it into the shared ring (site/page.js, the same numbers).
enum WebEventKind {
    kWebMouseDown = 1,  // target: window; a, b: client x, y in program pixels
    kWebMouseUp = 2,
    kWebBoxDown = 3,    // target: box; a, b: box x, y
    kWebBoxUp = 4,
    kWebBoxKey = 5,     // target: box; a: 0 Return, 1 Space, 2 Escape
};

struct WebEvent {
    int kind = 0;
    int target = 0;
    int a = 0;
    int b = 0;
};

// The page's side, through the worker's script (bridge.cpp).
bool WebShared();              // the page gave us its shared buffer
int WebStartTick();            // from the page's address; -1 when it names none
uint32_t WebWallTick();        // the wall clock in ms, modulo 2^32
void WebViewport(int* cx, int* cy);
int WebWakeCount();            // read before looking for input, then handed to WebSleep
bool WebTakeEvent(WebEvent* e);
// Sleeps until the page writes input (after WebWakeCount returned `seen`) or ms pass;
// ms < 0: no time limit.
void WebSleep(int seen, double ms);
// Pixels as 0x00RRGGBB; the page receives RGBA.
void WebPostWindow(int id, const char* titleUtf8, int width, int height, const uint32_t* icon,
                   int iconSize);
void WebPostFrame(int id, const uint32_t* pixels, int width, int height);
void WebPostWindowGone(int id);
void WebPostBox(int id, int owner, const char* captionUtf8, const char* textUtf8,
                const uint32_t* pixels, int width, int height, const RECT& button);
void WebPostBoxGone(int id);

// Milliseconds since start, with the fraction: deadlines are met to well under one.
double WebNowExact();
// The first window is being made: the tick count may now be set from the address.
void WebFirstWindowMade();

// Windows: presenting changed surfaces at display rate.
int WebWindowId(HWND hwnd);
HWND WebWindowFromId(int id);
// Posts every changed surface when a display frame has passed since the last post; returns
// when the next post is due, or kNoDeadline.
uint64_t WebPresentDue(uint64_t now);

// Boxes: input and answers.
void WebBoxButton(int box, bool down, int x, int y);
void WebBoxKey(int box, int key);
bool WebAnyBoxAnswered();
