// Fonts as text drawing sees them: a face found through fontconfig, sized and weighted as
// CreateFontA asked, with every glyph rasterised once and kept.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "gdi/gdi.h"

struct FT_FaceRec_;

// The face chosen for a request: a font file and its index in it.
struct FaceChoice {
    std::string file;
    int index = 0;
    std::string family;
};

// fontconfig's answer for a request: the Windows name mapped to its stand-in, else any
// Japanese face, else any face at all; nothing only when no font is installed.
std::optional<FaceChoice> FindFace(const FontRequest& request);

// An anti-aliased glyph: coverage 0..255, placed relative to the pen on the baseline.
struct Glyph {
    int left = 0;  // from the pen to the first column
    int top = 0;   // from the baseline up to the first row
    int width = 0;
    int height = 0;
    int advance = 0;
    std::vector<uint8_t> coverage;
};

struct RealFont {
    FaceChoice choice;       // empty file: no face anywhere, glyphs are drawn as boxes
    int ppem = 0;
    int ascent = 0;          // the cell is ascent + descent tall
    int descent = 0;
    long embolden = 0;       // extra stroke width in 1/64 px, for weights the face lacks
    FT_FaceRec_* face = nullptr;
    std::unordered_map<char32_t, Glyph> glyphs;

    ~RealFont();
    int Height() const { return ascent + descent; }
    const Glyph& GlyphFor(char32_t c);
};

// The realised font behind a font handle; a handle that is not a live font gets the system
// font. Never null.
RealFont* GdiRealizeFont(HFONT font);

// Builds a font for a request with the given face (or none).
std::unique_ptr<RealFont> MakeRealFont(const FontRequest& request,
                                       const std::optional<FaceChoice>& face);

// Tests: restrict fontconfig to these directories (an empty list: no fonts at all), or with
// null go back to the system's configuration. Drops every cached face and glyph.
void GdiSetFontDirs(const std::vector<std::string>* dirs);
// Tests and benchmarks: glyphs rasterised since the start of the run.
size_t GdiGlyphsRendered();
