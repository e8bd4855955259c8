// Window classes and windows: creation, destruction, showing, enabling, the default procedure.
#include <windows.h>

#include <strings.h>

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "backend/backend.h"
#include "user/wm.h"

namespace {

std::vector<std::unique_ptr<WindowClass>> g_classes;
std::unordered_map<uintptr_t, std::unique_ptr<Window>> g_windows;
std::vector<HWND> g_order;  // creation order, for the top-level list
uintptr_t g_nextWindow = 0x10010;
ATOM g_nextAtom = 0xC000;

const WindowClass* FindClass(LPCSTR name)
{
    for (const auto& c : g_classes) {
        if (IS_INTRESOURCE(name) ? c->atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name))
                                 : strcasecmp(c->name.c_str(), name) == 0)
            return c.get();
    }
    return nullptr;
}

void FrameInsets(DWORD style, int* side, int* top)
{
    *side = (style & (WS_CAPTION | WS_DLGFRAME | WS_BORDER)) ? kFixedFrame : 0;
    *top = *side + ((style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight : 0);
}

void InvalidateAll(Window* w)
{
    w->hasUpdate = true;
    w->update = {0, 0, w->surface.width, w->surface.height};
    w->erasePending = true;
}

}  // namespace

Window* WmFind(HWND hwnd)
{
    auto it = g_windows.find(reinterpret_cast<uintptr_t>(hwnd));
    return it == g_windows.end() ? nullptr : it->second.get();
}

std::vector<HWND> WmTopLevelWindows()
{
    std::vector<HWND> out;
    for (HWND h : g_order) {
        const Window* w = WmFind(h);
        if (w && !(w->style & WS_CHILD))
            out.push_back(h);
    }
    return out;
}

void WmReset()
{
    // Windows first, so their procedures still see a live table while being torn down.
    for (HWND h : std::vector<HWND>(g_order.rbegin(), g_order.rend()))
        DestroyWindow(h);
    g_windows.clear();
    g_order.clear();
    g_classes.clear();
    WmResetTimers();
    WmResetQueue();
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc)
{
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpfnWndProc || !wc->lpszClassName ||
        IS_INTRESOURCE(wc->lpszClassName) || FindClass(wc->lpszClassName))
        return 0;
    auto c = std::make_unique<WindowClass>();
    c->name = wc->lpszClassName;
    c->atom = g_nextAtom++;
    c->wc = *wc;
    c->wc.lpszClassName = nullptr;  // the caller's string need not outlive the call
    c->wc.lpszMenuName = nullptr;
    const ATOM atom = c->atom;
    g_classes.push_back(std::move(c));
    return atom;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param)
{
    const WindowClass* cls = className ? FindClass(className) : nullptr;
    if (!cls || (parent && !WmFind(parent)))
        return nullptr;
    if (x == CW_USEDEFAULT) {
        x = 0;
        y = 0;
    }
    if (width == CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }

    auto owned = std::make_unique<Window>();
    Window* w = owned.get();
    HWND hwnd = reinterpret_cast<HWND>(g_nextWindow);
    g_nextWindow += 0x10;
    w->handle = hwnd;
    w->cls = cls;
    w->proc = cls->wc.lpfnWndProc;
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->owner = parent;
    w->title = windowName ? windowName : "";
    w->enabled = !(style & WS_DISABLED);
    w->frame = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
    int side = 0, top = 0;
    FrameInsets(style, &side, &top);
    w->clientOrigin = {side, top};
    w->surface.Resize(width - 2 * side, height - top - side, 0x00FFFFFF);
    InvalidateAll(w);
    g_windows[reinterpret_cast<uintptr_t>(hwnd)] = std::move(owned);
    g_order.push_back(hwnd);
    if (!(style & WS_CHILD) && !BackendWindowCreated(hwnd)) {
        g_windows.erase(reinterpret_cast<uintptr_t>(hwnd));
        g_order.pop_back();
        return nullptr;
    }

    CREATESTRUCTA cs{param,           instance, menu,      parent,    height, width,
                     y,               x,        static_cast<LONG>(style), windowName,
                     IS_INTRESOURCE(className) ? nullptr : className, exStyle};
    const LPARAM lp = reinterpret_cast<LPARAM>(&cs);
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, lp) || SendMessageA(hwnd, WM_CREATE, 0, lp) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!WmFind(hwnd))  // destroyed by its own WM_CREATE
        return nullptr;
    if (style & WS_VISIBLE)
        ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL WINAPI DestroyWindow(HWND hwnd)
{
    Window* w = WmFind(hwnd);
    if (!w)
        return FALSE;
    if (w->destroying)
        return TRUE;
    w->destroying = true;
    // Owned windows go first, as the owner's procedure may still rely on them.
    for (HWND h : std::vector<HWND>(g_order))
        if (const Window* o = WmFind(h); o && o->owner == hwnd)
            DestroyWindow(h);
    w = WmFind(hwnd);
    w->visible = false;
    const bool topLevel = !(w->style & WS_CHILD);
    WmDropTimers(hwnd);
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    WmDropTimers(hwnd);  // WM_DESTROY handlers may arm timers; they die with the window
    if (topLevel)
        BackendWindowDestroyed(hwnd);
    g_windows.erase(reinterpret_cast<uintptr_t>(hwnd));
    g_order.erase(std::remove(g_order.begin(), g_order.end(), hwnd), g_order.end());
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow)
{
    Window* w = WmFind(hwnd);
    if (!w)
        return FALSE;
    const BOOL wasVisible = w->visible;
    if (cmdShow == SW_HIDE) {
        w->visible = false;
    } else {
        w->minimized = cmdShow == SW_MINIMIZE || cmdShow == SW_SHOWMINIMIZED;
        if (!w->visible) {
            w->visible = true;
            InvalidateAll(w);
        }
    }
    if (!(w->style & WS_CHILD))
        BackendWindowShown(hwnd, cmdShow);
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hwnd)
{
    const Window* w = WmFind(hwnd);
    if (!w)
        return FALSE;
    if (w->visible && w->hasUpdate)
        SendMessageA(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) { return WmFind(hwnd) != nullptr; }

BOOL WINAPI IsWindowEnabled(HWND hwnd)
{
    const Window* w = WmFind(hwnd);
    return w && w->enabled;
}

BOOL WINAPI IsWindowVisible(HWND hwnd)
{
    const Window* w = WmFind(hwnd);
    return w && w->visible;
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable)
{
    Window* w = WmFind(hwnd);
    if (!w)
        return FALSE;
    const BOOL wasDisabled = !w->enabled;
    if (w->enabled != (enable != FALSE)) {
        w->enabled = enable != FALSE;
        SendMessageA(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    }
    return wasDisabled;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect)
{
    const Window* w = WmFind(hwnd);
    if (!w || !rect)
        return FALSE;
    *rect = {0, 0, w->surface.width, w->surface.height};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect)
{
    const Window* w = WmFind(hwnd);
    if (!w || !rect)
        return FALSE;
    *rect = w->frame;
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_ERASEBKGND: {
        const Window* w = WmFind(hwnd);
        if (!w || !w->cls->wc.hbrBackground)
            return 0;
        const RECT all{0, 0, w->surface.width, w->surface.height};
        FillRect(reinterpret_cast<HDC>(wParam), &all, w->cls->wc.hbrBackground);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return 0;
    }
}
