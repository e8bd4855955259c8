// BitBlt: copies between any two DCs' surfaces, clipped on both sides.
#include <windows.h>

#include <algorithm>
#include <cstdint>
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
    // moving both together; 64-bit, so no coordinate can overflow.
    const int64_t dx = x, dy = y, sx = srcX, sy = srcY;
    const int64_t left = std::max<int64_t>({dx, to.clip.left, 0, dx - sx});
    const int64_t topY = std::max<int64_t>({dy, to.clip.top, 0, dy - sy});
    const int64_t right = std::min<int64_t>(
        {dx + width, to.clip.right, to.surface->width, dx + from.surface->width - sx});
    const int64_t bottom = std::min<int64_t>(
        {dy + height, to.clip.bottom, to.surface->height, dy + from.surface->height - sy});
    if (left >= right || topY >= bottom)
        return TRUE;
    const size_t n = static_cast<size_t>(right - left);
    // Within one surface, rows are taken in the order that reads each before it is written.
    const bool upward = to.surface == from.surface && srcY < y;
    for (int64_t i = 0; i < bottom - topY; ++i) {
        const int64_t row = upward ? bottom - 1 - i : topY + i;
        const uint32_t* in = from.surface->Row(static_cast<int>(row - dy + sy)) + (left - dx + sx);
        memmove(to.surface->Row(static_cast<int>(row)) + left, in, n * sizeof *in);
    }
    return TRUE;
}
