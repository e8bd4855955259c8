// Device contexts: window DCs over a surface, memory DCs over a bitmap, and what is selected.
#include <windows.h>

#include <memory>
#include <unordered_map>

#include "gdi/gdi.h"

namespace {

std::unordered_map<uintptr_t, std::unique_ptr<DeviceContext>>& Dcs()
{
    static std::unordered_map<uintptr_t, std::unique_ptr<DeviceContext>> dcs;
    return dcs;
}

HDC AddDC(std::unique_ptr<DeviceContext> dc)
{
    dc->pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    dc->brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    dc->font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    const uintptr_t key = GdiNewHandle();
    Dcs()[key] = std::move(dc);
    return reinterpret_cast<HDC>(key);
}

void ReleaseBitmap(HBITMAP bitmap, HDC dc)
{
    GdiObject* o = GdiFindObject(bitmap);
    if (o && o->selectedInto == dc)
        o->selectedInto = nullptr;
}

}  // namespace

GdiCanvas GdiTarget(const DeviceContext& dc)
{
    GdiCanvas canvas;
    if (!dc.memory) {
        canvas.surface = dc.surface;
        canvas.clip = dc.clip;
        return canvas;
    }
    GdiObject* o = GdiFindObject(dc.bitmap);
    if (o && o->kind == GdiKind::Bitmap && o->bitmap) {
        canvas.surface = o->bitmap.get();
        canvas.clip = {0, 0, canvas.surface->width, canvas.surface->height};
    }
    return canvas;
}

HDC GdiOpenSurfaceDC(Surface* surface, const RECT& clip)
{
    auto dc = std::make_unique<DeviceContext>();
    dc->surface = surface;
    dc->clip = clip;
    return AddDC(std::move(dc));
}

void GdiCloseDC(HDC dc)
{
    auto it = Dcs().find(reinterpret_cast<uintptr_t>(dc));
    if (it == Dcs().end())
        return;
    if (it->second->memory)
        ReleaseBitmap(it->second->bitmap, dc);
    Dcs().erase(it);
}

DeviceContext* GdiFindDC(HDC dc)
{
    auto it = Dcs().find(reinterpret_cast<uintptr_t>(dc));
    return it == Dcs().end() ? nullptr : it->second.get();
}

size_t GdiLiveDCs() { return Dcs().size(); }

HDC WINAPI CreateCompatibleDC(HDC dc)
{
    // Every surface here is 32-bit, so any DC, or none, is a good model.
    if (dc && !GdiFindDC(dc))
        return nullptr;
    auto memory = std::make_unique<DeviceContext>();
    memory->memory = true;
    memory->bitmap = GdiDefaultBitmap();
    return AddDC(std::move(memory));
}

BOOL WINAPI DeleteDC(HDC dc)
{
    if (!GdiFindDC(dc))
        return FALSE;
    GdiCloseDC(dc);
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object)
{
    DeviceContext* d = GdiFindDC(dc);
    GdiObject* o = GdiFindObject(object);
    if (!d || !o)
        return nullptr;
    HGDIOBJ previous = nullptr;
    switch (o->kind) {
    case GdiKind::Pen:
        previous = d->pen;
        d->pen = static_cast<HPEN>(object);
        break;
    case GdiKind::Brush:
        previous = d->brush;
        d->brush = static_cast<HBRUSH>(object);
        break;
    case GdiKind::Font:
        previous = d->font;
        d->font = static_cast<HFONT>(object);
        break;
    case GdiKind::Bitmap:
        // Only memory DCs hold bitmaps, and a bitmap lives in one DC at a time.
        if (!d->memory || (o->selectedInto && o->selectedInto != dc))
            return nullptr;
        previous = d->bitmap;
        ReleaseBitmap(d->bitmap, dc);
        d->bitmap = static_cast<HBITMAP>(object);
        if (!o->stock)
            o->selectedInto = dc;
        break;
    }
    return previous;
}

HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT kind)
{
    const DeviceContext* d = GdiFindDC(dc);
    if (!d)
        return nullptr;
    switch (kind) {
    case OBJ_PEN:
        return d->pen;
    case OBJ_BRUSH:
        return d->brush;
    case OBJ_FONT:
        return d->font;
    case OBJ_BITMAP:
        return d->memory ? d->bitmap : nullptr;
    default:
        return nullptr;
    }
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour)
{
    DeviceContext* d = GdiFindDC(dc);
    if (!d)
        return CLR_INVALID;
    const COLORREF previous = d->textColour;
    d->textColour = colour & 0x00FFFFFF;
    return previous;
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF colour)
{
    DeviceContext* d = GdiFindDC(dc);
    if (!d)
        return CLR_INVALID;
    const COLORREF previous = d->bkColour;
    d->bkColour = colour & 0x00FFFFFF;
    return previous;
}

int WINAPI SetBkMode(HDC dc, int mode)
{
    DeviceContext* d = GdiFindDC(dc);
    if (!d || (mode != OPAQUE && mode != TRANSPARENT))
        return 0;
    const int previous = d->bkMode;
    d->bkMode = mode;
    return previous;
}
