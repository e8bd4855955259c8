// Filled shapes: FillRect and Ellipse.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gdi/gdi.h"

namespace {

struct Span {
    int64_t x0 = 0, x1 = -1;  // inclusive; empty when x0 > x1
};

// The ellipse inscribed in a w x h box, as Win32 draws it with a one-pixel pen: the curve
// through the centres of the box's outermost pixels, taken one pixel per column where it runs
// flatter than 45 degrees and one pixel per row where it runs steeper, rounded to the nearest
// pixel with ties towards the middle. That makes an 8-connected outline; the brush fills
// between its two sides. Rows are mirrored, so the shape is exactly symmetric.
class EllipseRows {
public:
    EllipseRows(int64_t w, int64_t h)
        : w_(w), h_(h), cx_((w - 1) / 2.0), cy_((h - 1) / 2.0), a_(cx_), b_(cy_)
    {
    }

    // Row j's outline on the right half, [x0, x1] in box columns; the left half mirrors it.
    // Empty outside the box. A box one or two pixels thin is all outline.
    Span RightOutline(int64_t j) const
    {
        if (j < 0 || j >= h_)
            return Span{};
        if (w_ <= 2 || h_ <= 2)
            return Span{w_ / 2, w_ - 1};
        const int64_t row = std::max(j, h_ - 1 - j);  // its twin in the bottom half
        Span run{INT64_MAX, INT64_MIN};
        // Columns on the flat part that round to this row: bottomRow falls as x grows.
        const int64_t first = static_cast<int64_t>(std::ceil(cx_));
        const int64_t flatEnd = LastTrue(first, w_ - 1, [&](int64_t x) { return Flat(x); });
        if (flatEnd >= first) {
            const int64_t lo = FirstTrue(first, flatEnd, [&](int64_t x) { return BottomRow(x) <= row; });
            const int64_t hi = LastTrue(first, flatEnd, [&](int64_t x) { return BottomRow(x) >= row; });
            if (lo <= hi)
                run = Span{lo, hi};
        }
        const double dy = row - cy_;
        const double dx = a_ * std::sqrt(std::max(0.0, 1.0 - (dy / b_) * (dy / b_)));
        if (a_ * a_ * dy <= b_ * b_ * dx + 1e-9 || run.x0 > run.x1) {
            const int64_t x = RoundInward(cx_ + dx);
            run = Span{std::min(run.x0, x), std::max(run.x1, x)};
        }
        return run;
    }

private:
    // Nearest integer, a tie going down: towards the middle for the right and bottom halves.
    static int64_t RoundInward(double v) { return static_cast<int64_t>(std::ceil(v - 0.5)); }

    double CurveDy(int64_t x) const
    {
        const double dx = (x - cx_) / a_;
        return b_ * std::sqrt(std::max(0.0, 1.0 - dx * dx));
    }
    bool Flat(int64_t x) const { return b_ * b_ * (x - cx_) <= a_ * a_ * CurveDy(x) + 1e-9; }
    int64_t BottomRow(int64_t x) const { return RoundInward(cy_ + CurveDy(x)); }

    // Binary searches over a predicate that holds for a prefix (LastTrue) or a suffix
    // (FirstTrue) of [lo, hi]; lo - 1 or hi + 1 when it holds nowhere.
    template <class F>
    static int64_t LastTrue(int64_t lo, int64_t hi, F holds)
    {
        int64_t found = lo - 1;
        while (lo <= hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (holds(mid)) {
                found = mid;
                lo = mid + 1;
            } else {
                hi = mid - 1;
            }
        }
        return found;
    }
    template <class F>
    static int64_t FirstTrue(int64_t lo, int64_t hi, F holds)
    {
        int64_t found = hi + 1;
        while (lo <= hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (holds(mid)) {
                found = mid;
                hi = mid - 1;
            } else {
                lo = mid + 1;
            }
        }
        return found;
    }

    int64_t w_, h_;
    double cx_, cy_, a_, b_;
};

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

    // Only the rows that can show are computed, however large the box.
    const int64_t first = std::max<int64_t>({top, c.clip.top, 0});
    const int64_t last = std::min<int64_t>({int64_t{bottom}, c.clip.bottom, c.surface->height});
    const EllipseRows shape(w, h);
    for (int64_t y = first; y < last; ++y) {
        const Span run = shape.RightOutline(y - top);
        if (run.x0 > run.x1)
            continue;
        const int64_t leftOuter = w - 1 - run.x1, leftInner = w - 1 - run.x0;
        if (leftInner >= run.x0) {  // the two sides meet: the whole row is outline
            if (outline)
                FillRun(c, y, left + leftOuter, left + run.x1, penPixel);
            else if (fill)
                FillRun(c, y, left + leftOuter, left + run.x1, brushPixel);
            continue;
        }
        if (outline) {
            FillRun(c, y, left + leftOuter, left + leftInner, penPixel);
            FillRun(c, y, left + run.x0, left + run.x1, penPixel);
        }
        if (fill) {
            FillRun(c, y, left + (outline ? leftInner + 1 : leftOuter),
                    left + (outline ? run.x0 - 1 : run.x1), brushPixel);
        }
    }
    return TRUE;
}
