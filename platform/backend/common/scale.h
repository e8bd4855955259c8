// Integer scaling for dense displays, shared by the desktop backends: each program pixel is
// shown as a square of scale x scale screen pixels.
#pragma once

// GDK_SCALE's value as a factor of 1 to 8; 0 when unset or not such a number.
int ScaleFromSetting(const char* text);

// The largest factor up to `wanted` that still leaves the program a screen of at least
// 640x480 of its own pixels (the smallest a Win32 program may expect) in a work area of
// areaW x areaH screen pixels; never below 1.
int ScaleThatFits(int wanted, int areaW, int areaH);
