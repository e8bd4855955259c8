// Start-up: the connection, what the compositor offers, its outputs, the clock and the scale.
#include <libdecor.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "backend/common/scale.h"
#include "backend/wayland/wayland.h"
#include "mci/mci.h"

WlGlobals g_wl;

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point g_start = Clock::now();

struct Output {
    wl_output* output = nullptr;
    int width = 0, height = 0;  // current mode, screen pixels
    int scale = 1;
};
std::vector<Output> g_outputs;
int g_scale = 0;

void OutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                    const char*, int32_t) {}

void OutputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    auto* o = static_cast<Output*>(data);
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        o->width = width;
        o->height = height;
    }
}

void OutputDone(void*, wl_output*) {}

void OutputScale(void* data, wl_output*, int32_t factor)
{
    static_cast<Output*>(data)->scale = std::max(1, factor);
}

void OutputName(void*, wl_output*, const char*) {}
void OutputDescription(void*, wl_output*, const char*) {}

const wl_output_listener kOutputListener = {OutputGeometry, OutputMode,  OutputDone,
                                            OutputScale,    OutputName, OutputDescription};

void Global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    if (strcmp(interface, wl_compositor_interface.name) == 0 && version >= 4) {
        g_wl.compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    } else if (strcmp(interface, wl_shm_interface.name) == 0) {
        g_wl.shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (strcmp(interface, "xdg_wm_base") == 0) {
        g_wl.wmBase = true;
    } else if (strcmp(interface, wl_seat_interface.name) == 0 && !g_wl.seat) {
        g_wl.seat = static_cast<wl_seat*>(
            wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 5u)));
        WlInputStart();  // before the next roundtrip brings its capabilities
    } else if (strcmp(interface, wl_output_interface.name) == 0 && version >= 2) {
        // Stored before any event can arrive for it; reserved so the address holds.
        if (g_outputs.size() < g_outputs.capacity()) {
            g_outputs.push_back({});
            Output& o = g_outputs.back();
            o.output = static_cast<wl_output*>(
                wl_registry_bind(registry, name, &wl_output_interface, 2));
            wl_output_add_listener(o.output, &kOutputListener, &o);
        }
    }
}

void GlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {Global, GlobalRemove};

void DecorError(libdecor*, libdecor_error, const char* message)
{
    fprintf(stderr, "discfire: the Wayland compositor refused the window: %s\n", message);
    g_wl.lost = true;
}

libdecor_interface g_decorInterface = {DecorError, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

void SyncDone(void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; }

const wl_callback_listener kSyncListener = {SyncDone};

// wl_display_roundtrip, but a compositor that accepts the connection and never answers
// cannot hang the start.
bool Roundtrip(int timeoutMs)
{
    wl_display* d = g_wl.display;
    bool done = false;
    wl_callback* sync = wl_display_sync(d);
    wl_callback_add_listener(sync, &kSyncListener, &done);
    const uint64_t deadline = WlNow() + static_cast<uint64_t>(timeoutMs);
    while (!done) {
        while (wl_display_prepare_read(d) != 0) {
            if (wl_display_dispatch_pending(d) < 0) {
                wl_callback_destroy(sync);
                return false;
            }
        }
        wl_display_flush(d);
        const uint64_t now = WlNow();
        pollfd fd{wl_display_get_fd(d), POLLIN, 0};
        if (now >= deadline || poll(&fd, 1, static_cast<int>(deadline - now)) <= 0) {
            wl_display_cancel_read(d);
            if (WlNow() >= deadline)
                break;
            continue;
        }
        if (wl_display_read_events(d) < 0 || wl_display_dispatch_pending(d) < 0)
            break;
    }
    wl_callback_destroy(sync);
    return done;
}

void Disconnect()
{
    for (Output& o : g_outputs)
        wl_output_destroy(o.output);
    g_outputs.clear();
    if (g_wl.seat)
        wl_seat_destroy(g_wl.seat);
    if (g_wl.shm)
        wl_shm_destroy(g_wl.shm);
    if (g_wl.compositor)
        wl_compositor_destroy(g_wl.compositor);
    if (g_wl.registry)
        wl_registry_destroy(g_wl.registry);
    wl_display_disconnect(g_wl.display);
    g_wl = WlGlobals{};
}

// Says why Wayland cannot be used, when no other backend is left to try.
bool Refuse(bool last, const char* why)
{
    if (last) {
        const char* name = getenv("WAYLAND_DISPLAY");
        fprintf(stderr, "discfire: cannot open a display through wayland (%s): %s\n",
                name && *name ? name : "wayland-0", why);
    }
    if (g_wl.display)
        Disconnect();
    return false;
}

}  // namespace

bool WlStartup(bool last)
{
    g_wl.display = wl_display_connect(nullptr);
    if (!g_wl.display)
        return Refuse(last, "no compositor answers there");
    g_outputs.reserve(16);
    g_wl.registry = wl_display_get_registry(g_wl.display);
    wl_registry_add_listener(g_wl.registry, &kRegistryListener, nullptr);
    // Globals, then the outputs' and the seat's first events.
    if (!Roundtrip(5000) || !Roundtrip(5000))
        return Refuse(last, "the compositor does not answer");
    if (!g_wl.compositor || !g_wl.shm || !g_wl.wmBase)
        return Refuse(last, "the compositor offers no desktop windows");
    if (!g_wl.seat)
        return Refuse(last, "the compositor has no input seat");
    g_wl.decor = libdecor_new(g_wl.display, &g_decorInterface);
    if (!g_wl.decor)
        return Refuse(last, "cannot set up window frames");
    if (!WlSignalsStart()) {
        libdecor_unref(g_wl.decor);
        return Refuse(last, "cannot watch for signals");
    }
    // The soundfont loads while the introduction box is up, not when the window is made.
    MciPrepare();
    return true;
}

uint64_t WlNowMicros()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - g_start).count());
}

uint64_t WlNow() { return WlNowMicros() / 1000; }

uint32_t WlTickOrigin()
{
    // The monotonic clock at start, as GetTickCount would read it: differs from run to run.
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(g_start.time_since_epoch()).count());
}

void WlOutputSize(int* w, int* h)
{
    *w = 1024;
    *h = 768;
    for (const Output& o : g_outputs) {
        if (o.width > 0 && o.height > 0) {
            *w = o.width;
            *h = o.height;
            return;
        }
    }
}

int WlBufferScale()
{
    int most = 1;
    for (const Output& o : g_outputs)
        most = std::max(most, o.scale);
    // A buffer's size must be a multiple of its scale.
    return WlScale() % most == 0 ? most : 1;
}

int WlScale()
{
    if (g_scale)
        return g_scale;
    int wanted = ScaleFromSetting(getenv("GDK_SCALE"));
    if (!wanted) {
        wanted = 1;
        for (const Output& o : g_outputs)
            wanted = std::max(wanted, o.scale);
    }
    int w, h;
    WlOutputSize(&w, &h);
    g_scale = ScaleThatFits(wanted, w, h);
    return g_scale;
}

// Wayland has no panels to leave room for that a client could know of.
void WlScreenSize(int* cx, int* cy)
{
    int w, h;
    WlOutputSize(&w, &h);
    *cx = w / WlScale();
    *cy = h / WlScale();
}

void WlWorkArea(int* cx, int* cy) { WlScreenSize(cx, cy); }
