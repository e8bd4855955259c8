// Fonts and text: CreateFontA, TextOutA and GetTextExtentPoint32A.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "gdi/cp932.h"
#include "gdi/fonts.h"
#include "user/trace.h"

namespace {

constexpr size_t kFaceNameMax = 31;  // LF_FACESIZE less the terminator

struct Layout {
    RealFont* font = nullptr;
    std::vector<const Glyph*> glyphs;
    int64_t width = 0;
};

Layout Lay(const DeviceContext& d, const char* text, int length)
{
    Layout l;
    l.font = GdiRealizeFont(d.font);
    for (char32_t c : DecodeCp932(text, static_cast<size_t>(length))) {
        const Glyph& g = l.font->GlyphFor(c);
        l.glyphs.push_back(&g);
        l.width += g.advance;
    }
    return l;
}

// Coverage a of colour over the pixel, per channel, rounded to nearest.
inline uint32_t Blend(uint32_t under, uint32_t over, uint32_t a)
{
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t u = (under >> shift) & 0xFF, o = (over >> shift) & 0xFF;
        out |= ((u * (255 - a) + o * a + 127) / 255) << shift;
    }
    return out;
}

void DrawGlyph(const GdiCanvas& c, const Glyph& g, int64_t penX, int64_t baseline, uint32_t colour)
{
    const int64_t x0 = penX + g.left, y0 = baseline - g.top;
    const int64_t left = std::max<int64_t>({x0, c.clip.left, 0});
    const int64_t right = std::min<int64_t>({x0 + g.width, c.clip.right, c.surface->width});
    const int64_t top = std::max<int64_t>({y0, c.clip.top, 0});
    const int64_t bottom = std::min<int64_t>({y0 + g.height, c.clip.bottom, c.surface->height});
    for (int64_t y = top; y < bottom; ++y) {
        const uint8_t* cover = g.coverage.data() + (y - y0) * g.width;
        uint32_t* row = c.surface->Row(static_cast<int>(y));
        for (int64_t x = left; x < right; ++x) {
            const uint32_t a = cover[x - x0];
            if (a == 255)
                row[x] = colour;
            else if (a)
                row[x] = Blend(row[x], colour, a);
        }
    }
}

LONG Clamp(int64_t v) { return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

HFONT WINAPI CreateFontA(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD,
                         DWORD, DWORD, DWORD, DWORD pitchAndFamily, LPCSTR faceName)
{
    auto request = std::make_shared<FontRequest>();
    request->height = height;
    request->weight = std::clamp(weight, 0, 1000);
    request->italic = italic != 0;
    request->fixedPitch = (pitchAndFamily & 3) == FIXED_PITCH;
    if (faceName)
        request->face = Cp932ToUtf8(faceName, strnlen(faceName, kFaceNameMax));
    GdiObject o;
    o.kind = GdiKind::Font;
    o.font = std::move(request);
    return static_cast<HFONT>(GdiAddObject(o));
}

BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int length)
{
    DeviceContext* d = GdiFindDC(dc);
    if (!d || length < 0 || (!text && length > 0))
        return FALSE;
    if (TraceOn())
        TraceCall("TextOutA x=%d y=%d text=%s", x, y,
                  TraceText(std::string(text ? text : "", static_cast<size_t>(length)).c_str()).c_str());
    const GdiCanvas c = GdiTarget(*d);
    if (!c.surface || length == 0)
        return TRUE;
    const Layout l = Lay(*d, text, length);
    // The text sits on a cell as tall as the font, anchored at its top-left corner.
    if (d->bkMode == OPAQUE)
        FillSurfaceRect(*c.surface,
                        RECT{x, y, Clamp(int64_t{x} + l.width), Clamp(int64_t{y} + l.font->Height())},
                        c.clip, PixelFromColorref(d->bkColour));
    const uint32_t colour = PixelFromColorref(d->textColour);
    int64_t pen = x;
    for (const Glyph* g : l.glyphs) {
        DrawGlyph(c, *g, pen, int64_t{y} + l.font->ascent, colour);
        pen += g->advance;
    }
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size)
{
    DeviceContext* d = GdiFindDC(dc);
    if (!d || !size || length < 0 || (!text && length > 0))
        return FALSE;
    const Layout l = Lay(*d, text, length);
    size->cx = Clamp(l.width);
    size->cy = l.font->Height();
    return TRUE;
}
