// Kernel time, screen metrics and the stock cursor.
#include <windows.h>

#include "backend/backend.h"
#include "user/wm.h"

DWORD WINAPI GetTickCount(void)
{
    // Wraps after 49.7 days, as on Windows; the window manager itself never reads it. The
    // origin is read first: a backend may fix it at this very reading (web replays).
    const DWORD origin = BackendTickOrigin();
    return origin + static_cast<DWORD>(BackendNow());
}

int WINAPI GetSystemMetrics(int index)
{
    int cx = 0, cy = 0;
    switch (index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN:
        BackendScreenSize(&cx, &cy);
        return index == SM_CXSCREEN ? cx : cy;
    case SM_CXFULLSCREEN:
    case SM_CYFULLSCREEN:
        // A maximised window's borders lie off-screen; its caption does not.
        BackendWorkArea(&cx, &cy);
        return index == SM_CXFULLSCREEN ? cx : cy - kCaptionHeight;
    case SM_CYCAPTION:
        return kCaptionHeight;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME:
        return kFixedFrame;
    default:
        return 0;
    }
}

HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR name)
{
    // Only the standard arrow exists, and it is the one every backend shows.
    return name == IDC_ARROW ? reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(0x7F00)) : nullptr;
}
