// Top-level windows on the page: announced with their caption and icon, then their client
// surfaces posted at display rate, so a thousand paints a second cost the page nothing.
#include <algorithm>
#include <vector>

#include "backend/backend.h"
#include "backend/web/web.h"
#include "gdi/cp932.h"
#include "user/resource.h"
#include "user/trace.h"
#include "user/wm.h"

namespace {

struct PageWindow {
    HWND hwnd = nullptr;
    bool dirty = false;
};

constexpr uint64_t kFrameInterval = 16;  // ms: the page draws at display rate anyway
constexpr int kIconSize = 16;            // the caption's icon

std::vector<PageWindow> g_windows;
uint64_t g_lastPost = 0;

PageWindow* Find(HWND hwnd)
{
    for (PageWindow& w : g_windows)
        if (w.hwnd == hwnd)
            return &w;
    return nullptr;
}

void PostSurface(PageWindow& w)
{
    w.dirty = false;
    const Window* core = WmFind(w.hwnd);
    if (!core || !core->visible)
        return;
    WebPostFrame(WebWindowId(w.hwnd), core->surface.pixels.data(), core->surface.width,
                 core->surface.height);
    TraceCall("Present");
}

}  // namespace

int WebWindowId(HWND hwnd) { return static_cast<int>(reinterpret_cast<uintptr_t>(hwnd)); }

HWND WebWindowFromId(int id)
{
    for (const PageWindow& w : g_windows)
        if (WebWindowId(w.hwnd) == id)
            return w.hwnd;
    return nullptr;
}

bool BackendWindowCreated(HWND hwnd)
{
    const Window* core = WmFind(hwnd);
    if (!core || core->surface.width <= 0 || core->surface.height <= 0)
        return false;
    WebFirstWindowMade();
    const Surface* icon = core->cls ? IconImage(core->cls->wc.hIcon, kIconSize) : nullptr;
    WebPostWindow(WebWindowId(hwnd), Cp932ToUtf8(core->title.data(), core->title.size()).c_str(),
                  core->surface.width, core->surface.height,
                  icon && icon->width == kIconSize && icon->height == kIconSize
                      ? icon->pixels.data()
                      : nullptr,
                  kIconSize);
    g_windows.push_back({hwnd, false});
    return true;
}

void BackendWindowShown(HWND hwnd, int cmdShow)
{
    if (PageWindow* w = Find(hwnd); w && cmdShow != SW_HIDE)
        w->dirty = true;
}

void BackendWindowDestroyed(HWND hwnd)
{
    auto it = std::find_if(g_windows.begin(), g_windows.end(),
                           [hwnd](const PageWindow& w) { return w.hwnd == hwnd; });
    if (it == g_windows.end())
        return;
    WebPostWindowGone(WebWindowId(hwnd));
    g_windows.erase(it);
}

void BackendWindowPainted(HWND hwnd)
{
    if (PageWindow* w = Find(hwnd))
        w->dirty = true;
}

uint64_t WebPresentDue(uint64_t now)
{
    const bool anyDirty = std::any_of(g_windows.begin(), g_windows.end(),
                                      [](const PageWindow& w) { return w.dirty; });
    if (!anyDirty)
        return kNoDeadline;
    if (now < g_lastPost + kFrameInterval)
        return g_lastPost + kFrameInterval;
    for (PageWindow& w : g_windows)
        if (w.dirty)
            PostSurface(w);
    g_lastPost = now;
    return kNoDeadline;
}
