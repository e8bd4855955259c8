#include <windows.h>

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "gdi/gdi.h"

namespace {

// Handles are plain numbers: a stale handle can never be dereferenced, only not found.
constexpr uintptr_t kStockBase = 0x10;
constexpr int kStockCount = DEFAULT_GUI_FONT + 1;
uintptr_t g_nextHandle = 0x1000;

std::unordered_map<uintptr_t, GdiObject>& Objects()
{
    static std::unordered_map<uintptr_t, GdiObject> objects = [] {
        std::unordered_map<uintptr_t, GdiObject> table;
        auto stock = [&](int index, GdiKind kind, COLORREF colour, bool hollow) {
            GdiObject o;
            o.kind = kind;
            o.stock = true;
            o.colour = colour;
            o.hollow = hollow;
            table[kStockBase + index] = o;
        };
        stock(WHITE_BRUSH, GdiKind::Brush, RGB(255, 255, 255), false);
        stock(LTGRAY_BRUSH, GdiKind::Brush, RGB(192, 192, 192), false);
        stock(GRAY_BRUSH, GdiKind::Brush, RGB(128, 128, 128), false);
        stock(DKGRAY_BRUSH, GdiKind::Brush, RGB(64, 64, 64), false);
        stock(BLACK_BRUSH, GdiKind::Brush, RGB(0, 0, 0), false);
        stock(NULL_BRUSH, GdiKind::Brush, 0, true);
        stock(WHITE_PEN, GdiKind::Pen, RGB(255, 255, 255), false);
        stock(BLACK_PEN, GdiKind::Pen, RGB(0, 0, 0), false);
        stock(NULL_PEN, GdiKind::Pen, 0, true);
        stock(SYSTEM_FONT, GdiKind::Font, 0, false);
        stock(DEFAULT_GUI_FONT, GdiKind::Font, 0, false);
        return table;
    }();
    return objects;
}

std::unordered_map<uintptr_t, std::unique_ptr<DeviceContext>>& Dcs()
{
    static std::unordered_map<uintptr_t, std::unique_ptr<DeviceContext>> dcs;
    return dcs;
}

size_t g_liveObjects = 0;

uintptr_t Key(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }

}  // namespace

HGDIOBJ GdiAddObject(const GdiObject& object)
{
    const uintptr_t key = g_nextHandle++;
    GdiObject copy = object;
    copy.stock = false;
    Objects()[key] = copy;
    ++g_liveObjects;
    return reinterpret_cast<HGDIOBJ>(key);
}

GdiObject* GdiFindObject(HGDIOBJ handle)
{
    auto it = Objects().find(Key(handle));
    return it == Objects().end() ? nullptr : &it->second;
}

HDC GdiOpenSurfaceDC(Surface* surface, const RECT& clip)
{
    auto dc = std::make_unique<DeviceContext>();
    dc->surface = surface;
    dc->clip = clip;
    dc->pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    dc->brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    dc->font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    const uintptr_t key = g_nextHandle++;
    Dcs()[key] = std::move(dc);
    ++g_liveObjects;
    return reinterpret_cast<HDC>(key);
}

void GdiCloseDC(HDC dc)
{
    if (Dcs().erase(Key(dc)))
        --g_liveObjects;
}

DeviceContext* GdiFindDC(HDC dc)
{
    auto it = Dcs().find(Key(dc));
    return it == Dcs().end() ? nullptr : it->second.get();
}

size_t GdiLiveObjects() { return g_liveObjects; }

HGDIOBJ WINAPI GetStockObject(int index)
{
    const uintptr_t key = kStockBase + static_cast<uintptr_t>(index);
    if (index < 0 || index >= kStockCount || !Objects().count(key))
        return nullptr;
    return reinterpret_cast<HGDIOBJ>(key);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF colour)
{
    GdiObject o;
    o.kind = GdiKind::Brush;
    o.colour = colour & 0x00FFFFFF;
    return static_cast<HBRUSH>(GdiAddObject(o));
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    auto it = Objects().find(Key(object));
    if (it == Objects().end())
        return FALSE;
    if (it->second.stock)
        return TRUE;  // deleting a stock object is allowed and does nothing
    Objects().erase(it);
    --g_liveObjects;
    return TRUE;
}

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    DeviceContext* d = GdiFindDC(dc);
    const GdiObject* b = GdiFindObject(brush);
    if (!d || !rect || !b || b->kind != GdiKind::Brush)
        return 0;
    if (d->surface && !b->hollow)
        FillSurfaceRect(*d->surface, *rect, d->clip, PixelFromColorref(b->colour));
    return 1;
}
