// Chooses the desktop backend at start-up and forwards backend.h to it: native Wayland where
// a usable compositor is found, X11 through SDL where DISPLAY is set, else one clear line.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "backend/backend.h"
#include "backend/desktop/table.h"

namespace {

const BackendTable* g_backend = &kSdlBackend;

bool Set(const char* name) { return getenv(name) && *getenv(name); }

// The compositor a Wayland client would reach: WAYLAND_DISPLAY, or the default socket when
// there is no X display to prefer.
bool WaylandLikely()
{
    if (Set("WAYLAND_DISPLAY"))
        return true;
    if (Set("DISPLAY") || !Set("XDG_RUNTIME_DIR"))
        return false;
    struct stat st;
    return stat((std::string(getenv("XDG_RUNTIME_DIR")) + "/wayland-0").c_str(), &st) == 0;
}

bool Start(const BackendTable& backend, bool last)
{
    if (!backend.startup(last))
        return false;
    g_backend = &backend;
    return true;
}

}  // namespace

bool BackendStartup()
{
    // SDL_VIDEODRIVER names the choice: "wayland" is ours, anything else is SDL's.
    if (const char* forced = getenv("SDL_VIDEODRIVER"); forced && *forced)
        return Start(strcmp(forced, "wayland") == 0 ? kWaylandBackend : kSdlBackend, true);
    const bool x11 = Set("DISPLAY");
    const bool wayland = WaylandLikely();
    if (wayland && Start(kWaylandBackend, !x11))
        return true;
    if (x11)
        return Start(kSdlBackend, true);
    if (!wayland)  // else the Wayland backend has said why
        fprintf(stderr, "discfire: cannot open a display: neither DISPLAY nor WAYLAND_DISPLAY is set\n");
    return false;
}

uint64_t BackendNow() { return g_backend->now(); }
uint32_t BackendTickOrigin() { return g_backend->tickOrigin(); }
void BackendPoll() { g_backend->poll(); }
bool BackendWait(uint64_t deadline) { return g_backend->wait(deadline); }
void BackendWake() { g_backend->wake(); }
void BackendScreenSize(int* cx, int* cy) { g_backend->screenSize(cx, cy); }
void BackendWorkArea(int* cx, int* cy) { g_backend->workArea(cx, cy); }
bool BackendWindowCreated(HWND hwnd) { return g_backend->windowCreated(hwnd); }
void BackendWindowShown(HWND hwnd, int cmdShow) { g_backend->windowShown(hwnd, cmdShow); }
void BackendWindowDestroyed(HWND hwnd) { g_backend->windowDestroyed(hwnd); }
void BackendWindowPainted(HWND hwnd) { g_backend->windowPainted(hwnd); }

int BackendBoxOpen(HWND owner, const char* text, const char* caption, UINT type)
{
    return g_backend->boxOpen(owner, text, caption, type);
}

bool BackendBoxAnswered(int box, int* result) { return g_backend->boxAnswered(box, result); }
void BackendBoxClose(int box) { g_backend->boxClose(box); }
