// FreeType: sizing a face as GDI does and rasterising glyphs, each once per font.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

#include "gdi/fonts.h"

namespace {

constexpr int kMaxHeight = 1024;   // larger requests are drawn this size
constexpr int kDefaultHeight = 16; // a height of 0 asks for the default size
size_t g_rendered = 0;

FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library l = nullptr;
        return FT_Init_FreeType(&l) == 0 ? l : nullptr;
    }();
    return library;
}

bool HalfWidth(char32_t c) { return c < 0x2000 || (c >= 0xFF61 && c <= 0xFF9F); }

// With no face anywhere the text still shows: each character becomes an outlined box.
void BoxGlyph(const RealFont& f, char32_t c, Glyph* g)
{
    g->advance = std::max(2, HalfWidth(c) ? f.ppem / 2 : f.ppem);
    if (c == ' ' || c == 0x3000)
        return;
    g->left = 1;
    g->width = std::max(1, g->advance - 2);
    g->height = std::max(1, f.ascent * 3 / 4);
    g->top = g->height;
    g->coverage.assign(static_cast<size_t>(g->width) * g->height, 0);
    for (int y = 0; y < g->height; ++y)
        for (int x = 0; x < g->width; ++x)
            if (x == 0 || y == 0 || x == g->width - 1 || y == g->height - 1)
                g->coverage[static_cast<size_t>(y) * g->width + x] = 255;
}

bool RenderGlyph(const RealFont& f, char32_t c, Glyph* g)
{
    FT_Face face = f.face;
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, c), FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT))
        return false;
    FT_GlyphSlot slot = face->glyph;
    if (f.embolden && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        // Emboldening keeps the left and bottom edges; move half the growth below the
        // baseline so the strokes thicken evenly up and down.
        const FT_Pos grow = f.embolden / 2;
        FT_Outline_EmboldenXY(&slot->outline, f.embolden, grow);
        FT_Outline_Translate(&slot->outline, 0, -grow / 2);
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL))
        return false;
    const FT_Bitmap& b = slot->bitmap;
    g->left = slot->bitmap_left;
    g->top = slot->bitmap_top;
    g->width = static_cast<int>(b.width);
    g->height = static_cast<int>(b.rows);
    g->advance = static_cast<int>((slot->advance.x + f.embolden + 32) >> 6);
    g->coverage.assign(static_cast<size_t>(g->width) * g->height, 0);
    for (int y = 0; y < g->height; ++y) {
        const unsigned char* row = b.buffer + static_cast<ptrdiff_t>(y) * b.pitch;
        for (int x = 0; x < g->width; ++x) {
            const uint8_t v = b.pixel_mode == FT_PIXEL_MODE_MONO
                                  ? (((row[x / 8] >> (7 - x % 8)) & 1) ? 255 : 0)
                                  : row[x];
            g->coverage[static_cast<size_t>(y) * g->width + x] = v;
        }
    }
    return true;
}

}  // namespace

RealFont::~RealFont()
{
    if (face)
        FT_Done_Face(face);
}

const Glyph& RealFont::GlyphFor(char32_t c)
{
    auto it = glyphs.find(c);
    if (it != glyphs.end())
        return it->second;
    Glyph g;
    if (!face || !RenderGlyph(*this, c, &g)) {
        g = Glyph{};
        BoxGlyph(*this, c, &g);
    }
    ++g_rendered;
    return glyphs.emplace(c, std::move(g)).first->second;
}

size_t GdiGlyphsRendered() { return g_rendered; }

std::unique_ptr<RealFont> MakeRealFont(const FontRequest& request,
                                       const std::optional<FaceChoice>& choice)
{
    auto f = std::make_unique<RealFont>();
    int height = std::clamp(request.height, -kMaxHeight, kMaxHeight);
    if (height == 0)
        height = kDefaultHeight;
    FT_Face face = nullptr;
    if (choice && Library() &&
        FT_New_Face(Library(), choice->file.c_str(), choice->index, &face) == 0 &&
        !FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);  // bitmap-only faces cannot be sized freely
        face = nullptr;
    }
    // GDI's cell is the face's Windows ascent plus descent; a positive height is the cell,
    // a negative one the em size.
    double up = 0.88, down = 0.12, em = 1;
    int have = FW_NORMAL;
    if (face) {
        f->choice = *choice;
        f->face = face;
        em = face->units_per_EM;
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        // The face's own weight: fontconfig reports the weight it would synthesise instead.
        if (os2 && os2->usWeightClass)
            have = os2->usWeightClass;
        else if (face->style_flags & FT_STYLE_FLAG_BOLD)
            have = FW_BOLD;
        if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
            up = os2->usWinAscent;
            down = os2->usWinDescent;
        } else if (face->ascender - face->descender > 0) {
            up = face->ascender;
            down = -face->descender;
        } else {
            up *= em;
            down *= em;
        }
    }
    if (height > 0) {
        f->ppem = std::max(1, static_cast<int>(std::lround(height * em / (up + down))));
        f->ascent = static_cast<int>(std::lround(height * up / (up + down)));
        f->descent = height - f->ascent;
    } else {
        f->ppem = -height;
        f->ascent = static_cast<int>(std::lround(up * f->ppem / em));
        f->descent = static_cast<int>(std::lround(down * f->ppem / em));
    }
    if (face)
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(f->ppem));
    // A weight well beyond the face's own is synthesised: FreeType's emboldening for bold is
    // 1/24 em, so scale that by how far the request lies past the face.
    const int wanted = request.weight ? request.weight : FW_NORMAL;
    if (face && wanted - have >= 150)
        f->embolden = std::lround(f->ppem * 64.0 / 24.0 * (wanted - have) / (FW_BOLD - FW_NORMAL));
    return f;
}
