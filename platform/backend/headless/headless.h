// Controls of the headless backend: a virtual clock, scripted input and recorded message
// boxes. When the queue is idle the clock jumps to the next due timer or scripted event, so
// minutes of a program's time pass in milliseconds, the same way every run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct HeadlessBox {
    HWND owner = nullptr;
    std::string caption;  // code page 932, as passed
    std::string text;
    UINT type = 0;
    uint64_t openedAt = 0;
    uint64_t answeredAt = 0;
};

// Starts a new run: closes every MCI device, destroys every window, clears the queue,
// timers, script and rendered sound, and sets the virtual clock to 0 with GetTickCount
// reading startTick.
void HeadlessReset(uint32_t startTick = 0);

uint64_t HeadlessNow();
// Moves the clock forward (never back); due events are delivered at the next queue read.
void HeadlessAdvanceTo(uint64_t ms);

// Scripted input, delivered to the newest live top-level window at virtual time ms. Input to
// a disabled window is dropped, as a real window manager would.
void HeadlessClickAt(uint64_t ms, int x, int y);
void HeadlessCloseAt(uint64_t ms);
// Any action at virtual time ms, run from the message loop (a scripted player, say).
void HeadlessAt(uint64_t ms, std::function<void()> action);

// An action that runs once everything due at or before ms has been handled, with the clock
// reading ms: what a screenshot "at ms" should see.
void HeadlessAfter(uint64_t ms, std::function<void()> action);
// Called after every paint of a window, when the paint's pixels are in its surface.
void HeadlessSetPaintObserver(std::function<void(HWND)> observer);

// Message boxes are answered after this much virtual time (default 0) with the answerer's
// result (default IDOK).
void HeadlessSetBoxDelay(uint64_t ms);
void HeadlessSetBoxAnswerer(std::function<int(const HeadlessBox&)> answerer);
const std::vector<HeadlessBox>& HeadlessBoxes();

// The screen the headless display pretends to have.
void HeadlessSetScreen(int width, int height, int workWidth, int workHeight);
