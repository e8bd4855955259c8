// Bitmap objects: pixels in a Surface of their own, and GetObjectA's BITMAP record.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi/gdi.h"

HBITMAP GdiCreateBitmap(Surface pixels)
{
    GdiObject o;
    o.kind = GdiKind::Bitmap;
    o.bitmap = std::make_shared<Surface>(std::move(pixels));
    return static_cast<HBITMAP>(GdiAddObject(o));
}

int WINAPI GetObjectA(HANDLE object, int size, LPVOID out)
{
    const GdiObject* o = GdiFindObject(object);
    if (!o || o->kind != GdiKind::Bitmap || !o->bitmap)
        return 0;  // only bitmaps are described
    if (!out)
        return sizeof(BITMAP);
    if (size <= 0)
        return 0;
    // A device-dependent bitmap on a 32-bit display.
    BITMAP bm{};
    bm.bmWidth = o->bitmap->width;
    bm.bmHeight = o->bitmap->height;
    bm.bmWidthBytes = o->bitmap->width * 4;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = 32;
    const size_t n = std::min(static_cast<size_t>(size), sizeof bm);
    memcpy(out, &bm, n);
    return static_cast<int>(n);
}
