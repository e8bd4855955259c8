#include "gdi/surface.h"

#include <algorithm>

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
    for (LONG y = top; y < bottom; ++y)
        std::fill(s.Row(y) + left, s.Row(y) + std::max(left, right), pixel);
}
