// A 32-bit drawing surface: a window's client area or a bitmap's pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// Pixels are 0x00RRGGBB, the order SDL and PNG writers take without swizzling.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    void Resize(int w, int h, uint32_t fill);
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
};

inline uint32_t PixelFromColorref(COLORREF c)
{
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
           GetBValue(c);
}

inline COLORREF ColorrefFromPixel(uint32_t p)
{
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// Fills the intersection of rect, clip and the surface; right and bottom edges are excluded.
void FillSurfaceRect(Surface& s, RECT rect, const RECT& clip, uint32_t pixel);
