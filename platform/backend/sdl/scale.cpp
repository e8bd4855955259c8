// Integer scaling for dense displays. The program draws in its own pixels; the window
// manager shows each as a square of scale x scale screen pixels and maps the mouse back.
#include <cstdlib>

#include "backend/common/scale.h"
#include "backend/sdl/sdl.h"

namespace {

int g_scale = 0;

}  // namespace

int SdlScale()
{
    if (g_scale)
        return g_scale;
    // GDK_SCALE is the desktop's own word on it; otherwise the display's density decides,
    // a factor for every 96 dpi, rounding up from three quarters.
    g_scale = ScaleFromSetting(getenv("GDK_SCALE"));
    if (!g_scale) {
        float hdpi = 0;
        g_scale = SDL_GetDisplayDPI(0, nullptr, &hdpi, nullptr) == 0 && hdpi > 0
                      ? static_cast<int>(hdpi / 96.0f + 0.25f)
                      : 1;
        if (g_scale > 8)
            g_scale = 8;
    }
    // Never larger than the screen holds.
    SDL_Rect r{0, 0, 1024, 768};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0)
        SDL_GetDisplayBounds(0, &r);
    g_scale = ScaleThatFits(g_scale, r.w, r.h);
    return g_scale;
}
