// Filled shapes: FillRect and Ellipse.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "gdi/gdi.h"

namespace {

struct Span {
    int x0 = 0, x1 = -1;  // inclusive; empty when x0 > x1
};

// The pixels whose centres lie inside the ellipse inscribed in a w x h box, row by row.
// Each row is computed from its distance to the centre and mirrored, so the shape is exactly
// symmetric left to right and top to bottom.
void EllipseSpans(int w, int h, std::vector<Span>& rows)
{
    rows.assign(static_cast<size_t>(h), Span{});
    const double rx = w / 2.0, ry = h / 2.0;
    const double centre = (w - 1) / 2.0;
    const double frac = centre - std::floor(centre);  // 0 for odd widths, 0.5 for even
    for (int j = 0; j < h; ++j) {
        const double dy = (j + 0.5 - ry) / ry;
        const double half = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        int x1 = static_cast<int>(std::floor(centre)) + static_cast<int>(std::floor(frac + half));
        x1 = std::clamp(x1, w / 2, w - 1);  // never empty: at least the middle pixel(s)
        rows[static_cast<size_t>(j)] = Span{w - 1 - x1, x1};
    }
}

void FillRun(const GdiCanvas& c, int y, int x0, int x1, uint32_t pixel)
{
    if (x0 <= x1)
        FillSurfaceRect(*c.surface, RECT{x0, y, x1 + 1, y + 1}, c.clip, pixel);
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
    const int w = right - left, h = bottom - top;
    if (!c.surface || w <= 0 || h <= 0)
        return TRUE;
    // A stale or missing pen or brush draws nothing of its part.
    const GdiObject* pen = GdiFindObject(d->pen);
    const GdiObject* brush = GdiFindObject(d->brush);
    const bool outline = pen && pen->kind == GdiKind::Pen && !pen->hollow;
    const bool fill = brush && brush->kind == GdiKind::Brush && !brush->hollow;
    const uint32_t penPixel = outline ? PixelFromColorref(pen->colour) : 0;
    const uint32_t brushPixel = fill ? PixelFromColorref(brush->colour) : 0;

    static std::vector<Span> rows;
    EllipseSpans(w, h, rows);
    // The outline is the 1-px boundary of the shape: the pixels with a neighbour outside it
    // to the left, right, above or below. That keeps it closed and one pixel thin.
    for (int j = 0; j < h; ++j) {
        const Span s = rows[static_cast<size_t>(j)];
        const Span above = j > 0 ? rows[static_cast<size_t>(j - 1)] : Span{};
        const Span below = j + 1 < h ? rows[static_cast<size_t>(j + 1)] : Span{};
        int lo = std::max({s.x0 + 1, above.x0, below.x0});
        int hi = std::min({s.x1 - 1, above.x1, below.x1});
        if (above.x0 > above.x1 || below.x0 > below.x1 || lo > hi) {
            lo = s.x1 + 1;  // the whole row is boundary
            hi = s.x1;
        }
        const int y = top + j;
        if (outline) {
            FillRun(c, y, left + s.x0, left + lo - 1, penPixel);
            FillRun(c, y, left + hi + 1, left + s.x1, penPixel);
        }
        if (fill)
            FillRun(c, y, left + (outline ? lo : s.x0), left + (outline ? hi : s.x1), brushPixel);
    }
    return TRUE;
}
