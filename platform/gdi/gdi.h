// GDI internals shared by the platform layer: the object table and device contexts.
#pragma once

#include <windows.h>

#include <cstddef>

#include "gdi/surface.h"

enum class GdiKind { Pen, Brush, Font, Bitmap };

struct GdiObject {
    GdiKind kind = GdiKind::Brush;
    bool stock = false;
    bool hollow = false;  // NULL_PEN and NULL_BRUSH draw nothing
    COLORREF colour = 0;  // pens and brushes
};

struct DeviceContext {
    Surface* surface = nullptr;  // where drawing lands; null draws nothing
    RECT clip{};                 // in surface coordinates, right and bottom excluded
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    COLORREF textColour = RGB(0, 0, 0);
    COLORREF bkColour = RGB(255, 255, 255);
};

// Registers an object the program created; stock objects are made by the table itself.
HGDIOBJ GdiAddObject(const GdiObject& object);
GdiObject* GdiFindObject(HGDIOBJ handle);

// A DC that draws into a surface, as BeginPaint hands out; its clip is the paint rectangle.
HDC GdiOpenSurfaceDC(Surface* surface, const RECT& clip);
void GdiCloseDC(HDC dc);
DeviceContext* GdiFindDC(HDC dc);

// Objects and DCs the program has made and not yet released; stock objects are not counted.
size_t GdiLiveObjects();
