// Update regions and the painting frame. A window's update region is kept as its bounding
// box: the program always repaints whole areas, so precision buys nothing.
#include <windows.h>

#include <algorithm>

#include "backend/backend.h"
#include "gdi/gdi.h"
#include "user/wm.h"

namespace {

void AddUpdate(Window* w, const RECT* rect, BOOL erase)
{
    RECT r = rect ? *rect : RECT{0, 0, w->surface.width, w->surface.height};
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, w->surface.width);
    r.bottom = std::min<LONG>(r.bottom, w->surface.height);
    if (r.left >= r.right || r.top >= r.bottom)
        return;
    if (w->hasUpdate) {
        w->update.left = std::min(w->update.left, r.left);
        w->update.top = std::min(w->update.top, r.top);
        w->update.right = std::max(w->update.right, r.right);
        w->update.bottom = std::max(w->update.bottom, r.bottom);
    } else {
        w->update = r;
        w->hasUpdate = true;
    }
    if (erase)
        w->erasePending = true;
}

}  // namespace

bool WmTakePaint(MSG* msg)
{
    for (HWND h : WmTopLevelWindows()) {
        const Window* w = WmFind(h);
        if (w->visible && w->hasUpdate && !w->destroying) {
            *msg = MSG{};
            msg->hwnd = h;
            msg->message = WM_PAINT;
            msg->time = GetTickCount();
            return true;
        }
    }
    return false;
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    if (!hwnd) {
        for (HWND h : WmTopLevelWindows())
            AddUpdate(WmFind(h), nullptr, erase);
        return TRUE;
    }
    Window* w = WmFind(hwnd);
    if (!w)
        return FALSE;
    AddUpdate(w, rect, erase);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT* rect)
{
    Window* w = WmFind(hwnd);
    if (!w)
        return FALSE;
    const RECT& u = w->update;
    if (!rect || (rect->left <= u.left && rect->top <= u.top && rect->right >= u.right &&
                  rect->bottom >= u.bottom)) {
        w->hasUpdate = false;
        w->erasePending = false;
    }
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hwnd, PAINTSTRUCT* ps)
{
    Window* w = WmFind(hwnd);
    if (!w || !ps)
        return nullptr;
    *ps = PAINTSTRUCT{};
    if (w->hasUpdate)
        ps->rcPaint = w->update;
    const bool erase = w->erasePending;
    w->hasUpdate = false;
    w->erasePending = false;
    ps->hdc = GdiOpenSurfaceDC(&w->surface, ps->rcPaint);
    if (erase)
        ps->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps->hdc), 0) ? FALSE
                                                                                           : TRUE;
    return ps->hdc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* ps)
{
    if (!ps)
        return FALSE;
    GdiCloseDC(ps->hdc);
    if (WmFind(hwnd))
        BackendWindowPainted(hwnd);
    return TRUE;
}
