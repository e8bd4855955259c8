#include "gdi/surface.h"

#include <algorithm>
#include <cstring>

void Surface::Resize(int w, int h, uint32_t fill)
{
    width = std::max(w, 0);
    height = std::max(h, 0);
    pixels.assign(static_cast<size_t>(width) * height, fill);
}

void FillSurfaceRect(Surface& s, RECT r, const RECT& clip, uint32_t pixel)
{
    const LONG left = std::max({r.left, clip.left, LONG{0}});
    const LONG top = std::max({r.top, clip.top, LONG{0}});
    const LONG right = std::min({r.right, clip.right, static_cast<LONG>(s.width)});
    const LONG bottom = std::min({r.bottom, clip.bottom, static_cast<LONG>(s.height)});
    if (left >= right || top >= bottom)
        return;
    // One row by hand, the rest copied: memcpy runs several times faster than a store loop,
    // and an erase of the whole client area happens on every tick.
    const size_t n = static_cast<size_t>(right - left);
    uint32_t* first = s.Row(top) + left;
    std::fill_n(first, n, pixel);
    for (LONG y = top + 1; y < bottom; ++y)
        memcpy(s.Row(y) + left, first, n * sizeof *first);
}
