// Filled shapes: FillRect and Ellipse.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "gdi/gdi.h"

namespace {

struct Span {
    int64_t x0 = 0, x1 = -1;  // inclusive; empty when x0 > x1
};

// Row j of the pixels whose centres lie inside the ellipse inscribed in a w x h box. A row is
// computed from its distance to the centre and mirrored, so the shape is exactly symmetric
// left to right and top to bottom. Rows outside the box are empty.
Span RowSpan(int64_t j, int64_t w, int64_t h)
{
    if (j < 0 || j >= h)
        return Span{};
    const double rx = w / 2.0, ry = h / 2.0;
    const double centre = (w - 1) / 2.0;
    const double frac = centre - std::floor(centre);  // 0 for odd widths, 0.5 for even
    const double dy = (j + 0.5 - ry) / ry;
    const double half = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
    int64_t x1 = static_cast<int64_t>(std::floor(centre)) + static_cast<int64_t>(std::floor(frac + half));
    x1 = std::clamp(x1, w / 2, w - 1);  // never empty: at least the middle pixel(s)
    return Span{w - 1 - x1, x1};
}

void FillRun(const GdiCanvas& c, int64_t y, int64_t x0, int64_t x1, uint32_t pixel)
{
    x0 = std::max<int64_t>(x0, c.clip.left);
    x1 = std::min<int64_t>(x1, c.clip.right - 1);
    if (x0 <= x1)
        FillSurfaceRect(*c.surface, RECT{static_cast<LONG>(x0), static_cast<LONG>(y),
                                         static_cast<LONG>(x1 + 1), static_cast<LONG>(y + 1)},
                        c.clip, pixel);
}

}  // namespace

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    DeviceContext* d = GdiFindDC(dc);
    const GdiObject* b = GdiFindObject(brush);
    if (!d || !rect || !b || b->kind != GdiKind::Brush)
        return 0;
    const GdiCanvas c = GdiTarget(*d);
    if (c.surface && !b->hollow)
        FillSurfaceRect(*c.surface, *rect, c.clip, PixelFromColorref(b->colour));
    return 1;
}

BOOL WINAPI Ellipse(HDC dc, int left, int top, int right, int bottom)
{
    DeviceContext* d = GdiFindDC(dc);
    if (!d)
        return FALSE;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    const GdiCanvas c = GdiTarget(*d);
    const int64_t w = int64_t{right} - left, h = int64_t{bottom} - top;
    if (!c.surface || w <= 0 || h <= 0)
        return TRUE;
    // A stale or missing pen or brush draws nothing of its part.
    const GdiObject* pen = GdiFindObject(d->pen);
    const GdiObject* brush = GdiFindObject(d->brush);
    const bool outline = pen && pen->kind == GdiKind::Pen && !pen->hollow;
    const bool fill = brush && brush->kind == GdiKind::Brush && !brush->hollow;
    const uint32_t penPixel = outline ? PixelFromColorref(pen->colour) : 0;
    const uint32_t brushPixel = fill ? PixelFromColorref(brush->colour) : 0;

    // Only the rows that can show are computed, with one more on each side, however large the
    // box: row k of `rows` is box row first - top - 1 + k.
    const int64_t first = std::max<int64_t>({top, c.clip.top, 0});
    const int64_t last = std::min<int64_t>({int64_t{bottom}, c.clip.bottom, c.surface->height});
    if (first >= last)
        return TRUE;
    static std::vector<Span> rows;
    rows.clear();
    for (int64_t j = first - top - 1; j <= last - top; ++j)
        rows.push_back(RowSpan(j, w, h));
    for (int64_t y = first; y < last; ++y) {
        const size_t k = static_cast<size_t>(y - first + 1);
        const Span s = rows[k], above = rows[k - 1], below = rows[k + 1];
        // The outline is the 1-px boundary of the shape: the pixels with a neighbour outside
        // it to the left, right, above or below. That keeps it closed and one pixel thin.
        int64_t lo = std::max({s.x0 + 1, above.x0, below.x0});
        int64_t hi = std::min({s.x1 - 1, above.x1, below.x1});
        if (above.x0 > above.x1 || below.x0 > below.x1 || lo > hi) {
            lo = s.x1 + 1;  // the whole row is boundary
            hi = s.x1;
        }
        if (outline) {
            FillRun(c, y, left + s.x0, left + lo - 1, penPixel);
            FillRun(c, y, left + hi + 1, left + s.x1, penPixel);
        }
        if (fill)
            FillRun(c, y, left + (outline ? lo : s.x0), left + (outline ? hi : s.x1), brushPixel);
    }
    return TRUE;
}
