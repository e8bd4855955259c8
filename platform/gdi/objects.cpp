// The object table: stock objects, brushes, deletion and the live count.
#include <windows.h>

#include <cstdint>
#include <unordered_map>

#include "gdi/gdi.h"

namespace {

// Handles are plain numbers: a stale handle can never be dereferenced, only not found.
constexpr uintptr_t kStockBase = 0x10;
constexpr int kStockCount = DEFAULT_GUI_FONT + 1;
constexpr uintptr_t kDefaultBitmap = kStockBase + 0x20;  // out of GetStockObject's reach
uintptr_t g_nextHandle = 0x1000;

std::shared_ptr<FontRequest> StockFont(int height, const char* face)
{
    auto f = std::make_shared<FontRequest>();
    f->height = height;
    f->face = face;
    return f;
}

std::unordered_map<uintptr_t, GdiObject>& Objects()
{
    static std::unordered_map<uintptr_t, GdiObject> objects = [] {
        std::unordered_map<uintptr_t, GdiObject> table;
        auto stock = [&](uintptr_t key, GdiKind kind, COLORREF colour, bool hollow) -> GdiObject& {
            GdiObject& o = table[key];
            o.kind = kind;
            o.stock = true;
            o.colour = colour;
            o.hollow = hollow;
            return o;
        };
        stock(kStockBase + WHITE_BRUSH, GdiKind::Brush, RGB(255, 255, 255), false);
        stock(kStockBase + LTGRAY_BRUSH, GdiKind::Brush, RGB(192, 192, 192), false);
        stock(kStockBase + GRAY_BRUSH, GdiKind::Brush, RGB(128, 128, 128), false);
        stock(kStockBase + DKGRAY_BRUSH, GdiKind::Brush, RGB(64, 64, 64), false);
        stock(kStockBase + BLACK_BRUSH, GdiKind::Brush, RGB(0, 0, 0), false);
        stock(kStockBase + NULL_BRUSH, GdiKind::Brush, 0, true);
        stock(kStockBase + WHITE_PEN, GdiKind::Pen, RGB(255, 255, 255), false);
        stock(kStockBase + BLACK_PEN, GdiKind::Pen, RGB(0, 0, 0), false);
        stock(kStockBase + NULL_PEN, GdiKind::Pen, 0, true);
        // A Japanese system: the fixed Gothic for the system font, the proportional one at
        // 12 px for dialogs and labels.
        stock(kStockBase + SYSTEM_FONT, GdiKind::Font, 0, false).font =
            StockFont(16, "ＭＳ ゴシック");
        stock(kStockBase + DEFAULT_GUI_FONT, GdiKind::Font, 0, false).font =
            StockFont(-12, "ＭＳ Ｐゴシック");
        GdiObject& bitmap = stock(kDefaultBitmap, GdiKind::Bitmap, 0, false);
        bitmap.bitmap = std::make_shared<Surface>();
        bitmap.bitmap->Resize(1, 1, 0);
        return table;
    }();
    return objects;
}

size_t StockObjects()
{
    static const size_t count = Objects().size();
    return count;
}

uintptr_t Key(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }

}  // namespace

uintptr_t GdiNewHandle() { return g_nextHandle++; }

HGDIOBJ GdiAddObject(const GdiObject& object)
{
    StockObjects();  // the table exists before the first object joins it
    const uintptr_t key = GdiNewHandle();
    GdiObject& o = Objects()[key] = object;
    o.stock = false;
    return reinterpret_cast<HGDIOBJ>(key);
}

GdiObject* GdiFindObject(HGDIOBJ handle)
{
    auto it = Objects().find(Key(handle));
    return it == Objects().end() ? nullptr : &it->second;
}

HBITMAP GdiDefaultBitmap()
{
    Objects();
    return reinterpret_cast<HBITMAP>(kDefaultBitmap);
}

size_t GdiLiveObjects() { return Objects().size() - StockObjects() + GdiLiveDCs(); }

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
    if (it->second.selectedInto)
        return FALSE;  // a bitmap in a memory DC stays until the DC lets it go
    Objects().erase(it);
    return TRUE;
}
