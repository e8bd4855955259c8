// Native counterparts of the core's top-level windows, and closing them on request.
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "backend/wayland/wayland.h"
#include "gdi/cp932.h"
#include "user/wm.h"

namespace {

struct NativeWindow {
    HWND hwnd = nullptr;
    WlView* view = nullptr;
};

std::vector<std::unique_ptr<NativeWindow>> g_windows;
bool g_pendingClose = false;

NativeWindow* Find(HWND hwnd)
{
    for (auto& w : g_windows)
        if (w->hwnd == hwnd)
            return w.get();
    return nullptr;
}

const Surface* Pixels(void* owner)
{
    const Window* core = WmFind(static_cast<NativeWindow*>(owner)->hwnd);
    return core ? &core->surface : nullptr;
}

void Close(void* owner)
{
    // Dropped while a modal box disables the window.
    WmQueueInput(static_cast<NativeWindow*>(owner)->hwnd, WM_CLOSE, 0, 0);
}

void Button(void* owner, bool down, int x, int y)
{
    WmQueueInput(static_cast<NativeWindow*>(owner)->hwnd, down ? WM_LBUTTONDOWN : WM_LBUTTONUP,
                 down ? MK_LBUTTON : 0, MAKELPARAM(x, y));
}

const WlViewEvents kWindowEvents = {Pixels, Close, Button};

}  // namespace

WlView* WlWindowView(HWND hwnd)
{
    NativeWindow* w = Find(hwnd);
    return w ? w->view : nullptr;
}

void WlRequestClose() { g_pendingClose = true; }

bool WlTakePendingClose() { return std::exchange(g_pendingClose, false); }

// A close that came while no window could take it goes to the newest that can.
void WlDeliverPendingClose()
{
    if (!g_pendingClose)
        return;
    std::vector<HWND> windows = WmTopLevelWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (WmAcceptsInput(*it)) {
            g_pendingClose = false;
            WmQueueInput(*it, WM_CLOSE, 0, 0);
            return;
        }
    }
}

bool WlWindowCreated(HWND hwnd)
{
    const Window* core = WmFind(hwnd);
    if (core->surface.width <= 0 || core->surface.height <= 0)
        return false;
    auto w = std::make_unique<NativeWindow>();
    w->hwnd = hwnd;
    w->view = WlViewCreate(core->surface.width, core->surface.height, &kWindowEvents, w.get());
    g_windows.push_back(std::move(w));
    if (WlTakePendingClose())
        WmQueueInput(hwnd, WM_CLOSE, 0, 0);
    return true;
}

void WlWindowShown(HWND hwnd, int cmdShow)
{
    NativeWindow* w = Find(hwnd);
    if (!w)
        return;
    if (cmdShow == SW_HIDE) {
        WlViewHide(w->view);
        return;
    }
    const Window* core = WmFind(hwnd);
    WlViewShow(w->view, Cp932ToUtf8(core->title.data(), core->title.size()).c_str(), nullptr);
    if (cmdShow == SW_MINIMIZE || cmdShow == SW_SHOWMINIMIZED)
        WlViewMinimize(w->view);
}

void WlWindowDestroyed(HWND hwnd)
{
    auto it = std::find_if(g_windows.begin(), g_windows.end(),
                           [hwnd](const auto& w) { return w->hwnd == hwnd; });
    if (it == g_windows.end())
        return;
    WlViewDestroy((*it)->view);
    g_windows.erase(it);
}

void WlWindowPainted(HWND hwnd)
{
    if (NativeWindow* w = Find(hwnd))
        WlViewDirty(w->view);
}
