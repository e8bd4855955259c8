// Native windows for the core's top-level windows, and presenting their surfaces.
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "backend/backend.h"
#include "backend/sdl/sdl.h"
#include "gdi/cp932.h"
#include "user/resource.h"
#include "user/trace.h"
#include "user/wm.h"

namespace {

std::vector<std::unique_ptr<NativeWindow>> g_windows;
uint64_t g_lastPresent = 0;
bool g_pendingClose = false;

uint64_t FrameInterval()
{
    static const uint64_t interval = [] {
        SDL_DisplayMode mode;
        if (SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0)
            return static_cast<uint64_t>(std::max(1000 / mode.refresh_rate, 1));
        return uint64_t{16};
    }();
    return interval;
}

// The class icon becomes the desktop's icon for the window.
void SetIcon(SDL_Window* window, HICON icon)
{
    const Surface* image = IconImage(icon, 32);
    if (!image)
        return;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(image->pixels.data()), image->width, image->height, 32,
        image->width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!s)
        return;
    SDL_SetWindowIcon(window, s);
    SDL_FreeSurface(s);
}

}  // namespace

NativeWindow* SdlFindWindow(HWND hwnd)
{
    for (auto& w : g_windows)
        if (w->hwnd == hwnd)
            return w.get();
    return nullptr;
}

NativeWindow* SdlFindWindow(Uint32 sdlWindowId)
{
    for (auto& w : g_windows)
        if (SDL_GetWindowID(w->window) == sdlWindowId)
            return w.get();
    return nullptr;
}

void SdlRequestClose() { g_pendingClose = true; }

bool SdlTakePendingClose() { return std::exchange(g_pendingClose, false); }

bool SdlWindowCreated(HWND hwnd)
{
    const Window* core = WmFind(hwnd);
    const int width = core->surface.width, height = core->surface.height;
    if (width <= 0 || height <= 0)
        return false;
    auto w = std::make_unique<NativeWindow>();
    w->hwnd = hwnd;
    // The desktop draws the frame; ours places the client area where our frame would.
    const int scale = SdlScale();
    const int x = (core->frame.left + core->clientOrigin.x) * scale;
    const int y = (core->frame.top + core->clientOrigin.y) * scale;
    w->window = SDL_CreateWindow(Cp932ToUtf8(core->title.data(), core->title.size()).c_str(), x,
                                 y, width * scale, height * scale, SDL_WINDOW_HIDDEN);
    if (!w->window)
        return false;
    w->renderer = SDL_CreateRenderer(w->window, -1, SDL_RENDERER_SOFTWARE);
    if (w->renderer)
        w->texture = SDL_CreateTexture(w->renderer, SDL_PIXELFORMAT_RGB888,
                                       SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!w->texture) {
        if (w->renderer)
            SDL_DestroyRenderer(w->renderer);
        SDL_DestroyWindow(w->window);
        return false;
    }
    SetIcon(w->window, core->cls->wc.hIcon);
    g_windows.push_back(std::move(w));
    if (SdlTakePendingClose())
        WmQueueInput(hwnd, WM_CLOSE, 0, 0);
    return true;
}

void SdlWindowShown(HWND hwnd, int cmdShow)
{
    NativeWindow* w = SdlFindWindow(hwnd);
    if (!w)
        return;
    if (cmdShow == SW_HIDE) {
        SDL_HideWindow(w->window);
    } else {
        SDL_ShowWindow(w->window);
        if (cmdShow == SW_MINIMIZE || cmdShow == SW_SHOWMINIMIZED)
            SDL_MinimizeWindow(w->window);
        w->dirty = true;
    }
}

void SdlWindowDestroyed(HWND hwnd)
{
    auto it = std::find_if(g_windows.begin(), g_windows.end(),
                           [hwnd](const auto& w) { return w->hwnd == hwnd; });
    if (it == g_windows.end())
        return;
    SDL_DestroyTexture((*it)->texture);
    SDL_DestroyRenderer((*it)->renderer);
    SDL_DestroyWindow((*it)->window);
    g_windows.erase(it);
}

void SdlWindowPainted(HWND hwnd)
{
    if (NativeWindow* w = SdlFindWindow(hwnd))
        w->dirty = true;
}

void SdlPresentWindow(NativeWindow& w)
{
    const Window* core = WmFind(w.hwnd);
    if (!core)
        return;
    SDL_UpdateTexture(w.texture, nullptr, core->surface.pixels.data(), core->surface.width * 4);
    SDL_RenderClear(w.renderer);
    SDL_RenderCopy(w.renderer, w.texture, nullptr, nullptr);
    SDL_RenderPresent(w.renderer);
    w.dirty = false;
    TraceCall("Present");
}

uint64_t SdlPresentDue(uint64_t now)
{
    bool anyDirty = false;
    for (auto& w : g_windows)
        anyDirty = anyDirty || w->dirty;
    if (!anyDirty)
        return kNoDeadline;
    if (now < g_lastPresent + FrameInterval())
        return g_lastPresent + FrameInterval();
    for (auto& w : g_windows)
        if (w->dirty)
            SdlPresentWindow(*w);
    g_lastPresent = now;
    return kNoDeadline;
}
