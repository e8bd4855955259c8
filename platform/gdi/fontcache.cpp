// Realised fonts, shared by every font object that asks for the same thing, so creating and
// deleting fonts never rasterises a glyph twice.
#include <map>

#include "gdi/fonts.h"

void FontMatchUseDirs(const std::vector<std::string>* dirs);  // fontmatch.cpp

namespace {

std::map<std::string, std::unique_ptr<RealFont>> g_fonts;
unsigned g_generation = 1;  // bumped whenever the cache is dropped

std::string Key(const FontRequest& r)
{
    return r.face + '\n' + std::to_string(r.height) + ' ' + std::to_string(r.weight) +
           (r.italic ? "i" : "") + (r.fixedPitch ? "f" : "");
}

}  // namespace

RealFont* GdiRealizeFont(HFONT handle)
{
    GdiObject* o = GdiFindObject(handle);
    if (!o || o->kind != GdiKind::Font || !o->font)
        o = GdiFindObject(GetStockObject(SYSTEM_FONT));
    if (o->real && o->realGeneration == g_generation)
        return o->real;
    std::unique_ptr<RealFont>& slot = g_fonts[Key(*o->font)];
    if (!slot)
        slot = MakeRealFont(*o->font, FindFace(*o->font));
    o->real = slot.get();
    o->realGeneration = g_generation;
    return slot.get();
}

void GdiSetFontDirs(const std::vector<std::string>* dirs)
{
    g_fonts.clear();
    ++g_generation;
    FontMatchUseDirs(dirs);
}
