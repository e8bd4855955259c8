// BitBlt: copies between any two DCs' surfaces, clipped on both sides.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi/gdi.h"

BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                   DWORD rop)
{
    DeviceContext* d = GdiFindDC(dest);
    DeviceContext* s = GdiFindDC(src);
    if (!d || !s || rop != SRCCOPY)
        return FALSE;
    const GdiCanvas to = GdiTarget(*d);
    const GdiCanvas from = GdiTarget(*s);
    if (!to.surface || !from.surface || width <= 0 || height <= 0)
        return TRUE;
    // Trim the destination rectangle to its clip and the source rectangle to its surface,
    // moving both together.
    int left = std::max({x, static_cast<int>(to.clip.left), 0, x + (0 - srcX)});
    int topY = std::max({y, static_cast<int>(to.clip.top), 0, y + (0 - srcY)});
    int right = std::min({x + width, static_cast<int>(to.clip.right), to.surface->width,
                          x + (from.surface->width - srcX)});
    int bottom = std::min({y + height, static_cast<int>(to.clip.bottom), to.surface->height,
                           y + (from.surface->height - srcY)});
    if (left >= right || topY >= bottom)
        return TRUE;
    const size_t n = static_cast<size_t>(right - left);
    // Within one surface, rows are taken in the order that reads each before it is written.
    const bool upward = to.surface == from.surface && srcY < y;
    for (int i = 0; i < bottom - topY; ++i) {
        const int row = upward ? bottom - 1 - i : topY + i;
        const uint32_t* in = from.surface->Row(row - y + srcY) + (left - x + srcX);
        memmove(to.surface->Row(row) + left, in, n * sizeof *in);
    }
    return TRUE;
}
