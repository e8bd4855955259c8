// GDI internals shared by the platform layer: the object table and device contexts.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

#include "gdi/surface.h"

enum class GdiKind { Pen, Brush, Font, Bitmap };

// What a font was asked for. The face name is UTF-8, converted from the caller's code page.
struct FontRequest {
    int height = 0;  // > 0: cell height; < 0: character height (ppem); 0: the default
    int weight = FW_NORMAL;
    bool italic = false;
    bool fixedPitch = false;
    std::string face;
};

struct RealFont;  // gdi/fonts.h

struct GdiObject {
    GdiKind kind = GdiKind::Brush;
    bool stock = false;
    bool hollow = false;  // NULL_PEN and NULL_BRUSH draw nothing
    COLORREF colour = 0;  // pens and brushes
    std::shared_ptr<Surface> bitmap;     // bitmaps: their pixels
    HDC selectedInto = nullptr;          // bitmaps: the memory DC holding it, if any
    std::shared_ptr<FontRequest> font;   // fonts
    RealFont* real = nullptr;            // fonts: the face and size found for the request,
    unsigned realGeneration = 0;         // valid while the font cache's generation matches
};

struct DeviceContext {
    Surface* surface = nullptr;  // window DCs: the client area
    RECT clip{};                 // window DCs: in surface coordinates, right and bottom excluded
    bool memory = false;         // memory DCs draw into their selected bitmap
    HBITMAP bitmap = nullptr;
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    COLORREF textColour = RGB(0, 0, 0);
    COLORREF bkColour = RGB(255, 255, 255);
    int bkMode = OPAQUE;
};

// Where a DC's drawing lands at this moment. The surface is null when there is nowhere to
// draw (a window DC without a surface, a memory DC whose bitmap was deleted).
struct GdiCanvas {
    Surface* surface = nullptr;
    RECT clip{};
};
GdiCanvas GdiTarget(const DeviceContext& dc);

// A fresh handle value for an object or a DC; never reused within a run.
uintptr_t GdiNewHandle();

// Registers an object the program created; stock objects are made by the table itself.
HGDIOBJ GdiAddObject(const GdiObject& object);
GdiObject* GdiFindObject(HGDIOBJ handle);
// The 1x1 bitmap a memory DC starts with.
HBITMAP GdiDefaultBitmap();

// A bitmap object over these pixels, as LoadBitmapA makes.
HBITMAP GdiCreateBitmap(Surface pixels);

// A DC that draws into a surface, as BeginPaint hands out; its clip is the paint rectangle.
HDC GdiOpenSurfaceDC(Surface* surface, const RECT& clip);
// Closes any DC, releasing what is still selected into it.
void GdiCloseDC(HDC dc);
DeviceContext* GdiFindDC(HDC dc);
size_t GdiLiveDCs();

// Objects and DCs the program has made and not yet released; stock objects are not counted.
size_t GdiLiveObjects();
