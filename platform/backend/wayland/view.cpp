// Toplevels showing program pixels: a wl_surface framed by libdecor, presented from two shm
// buffers, at most once per display frame (the compositor's frame callback paces it).
#include <libdecor.h>

#include <algorithm>
#include <vector>

#include "backend/wayland/wayland.h"
#include "user/trace.h"

struct WlView {
    wl_surface* surface = nullptr;
    libdecor_frame* frame = nullptr;
    WlView* parent = nullptr;
    int width = 0, height = 0;  // program pixels
    ShmBuffer buffers[2];
    wl_callback* frameDone = nullptr;  // outstanding: the display has not shown the last one
    bool configured = false;
    bool dirty = false;
    const WlViewEvents* events = nullptr;
    void* owner = nullptr;
};

namespace {

std::vector<WlView*> g_views;

int LogicalWidth(const WlView& v) { return v.width * WlScale() / WlBufferScale(); }
int LogicalHeight(const WlView& v) { return v.height * WlScale() / WlBufferScale(); }

void Present(WlView& v);

void FrameDone(void* data, wl_callback* callback, uint32_t)
{
    auto* v = static_cast<WlView*>(data);
    wl_callback_destroy(callback);
    v->frameDone = nullptr;
}

const wl_callback_listener kFrameListener = {FrameDone};

void Configure(libdecor_frame* frame, libdecor_configuration* configuration, void* data)
{
    auto* v = static_cast<WlView*>(data);
    // The size is ours, whatever the compositor suggests.
    libdecor_state* state = libdecor_state_new(LogicalWidth(*v), LogicalHeight(*v));
    libdecor_frame_commit(frame, state, configuration);
    libdecor_state_free(state);
    v->configured = true;
    v->dirty = true;
    Present(*v);
}

void Close(libdecor_frame*, void* data)
{
    auto* v = static_cast<WlView*>(data);
    v->events->close(v->owner);
}

void Commit(libdecor_frame*, void* data) { wl_surface_commit(static_cast<WlView*>(data)->surface); }

void DismissPopup(libdecor_frame*, const char*, void*) {}

libdecor_frame_interface g_frameInterface = {Configure, Close,   Commit,  DismissPopup,
                                             nullptr,   nullptr, nullptr, nullptr,
                                             nullptr,   nullptr, nullptr, nullptr,
                                             nullptr,   nullptr};

ShmBuffer* FreeBuffer(WlView& v)
{
    for (ShmBuffer& b : v.buffers) {
        if (b.busy)
            continue;
        if (!b.buffer && !ShmBufferMake(b, v.width * WlScale(), v.height * WlScale(), WL_SHM_FORMAT_XRGB8888))
            return nullptr;
        return &b;
    }
    return nullptr;
}

void Present(WlView& v)
{
    if (!v.frame || !v.configured || v.frameDone || !v.dirty)
        return;
    const Surface* pixels = v.events->pixels(v.owner);
    ShmBuffer* b = pixels ? FreeBuffer(v) : nullptr;
    if (!b)
        return;  // both with the compositor: the next release brings another chance
    ShmBufferFill(*b, *pixels, WlScale());
    b->busy = true;
    wl_surface_set_buffer_scale(v.surface, WlBufferScale());
    wl_surface_attach(v.surface, b->buffer, 0, 0);
    wl_surface_damage_buffer(v.surface, 0, 0, b->width, b->height);
    v.frameDone = wl_surface_frame(v.surface);
    wl_callback_add_listener(v.frameDone, &kFrameListener, &v);
    wl_surface_commit(v.surface);
    v.dirty = false;
    TraceCall("Present");
}

void Unmap(WlView& v)
{
    if (v.frameDone) {
        wl_callback_destroy(v.frameDone);
        v.frameDone = nullptr;
    }
    if (v.frame) {
        libdecor_frame_unref(v.frame);
        v.frame = nullptr;
        wl_surface_attach(v.surface, nullptr, 0, 0);
        wl_surface_commit(v.surface);
    }
    v.configured = false;
    for (WlView* child : g_views)
        if (child->parent == &v)
            child->parent = nullptr;
}

}  // namespace

WlView* WlViewCreate(int width, int height, const WlViewEvents* events, void* owner)
{
    auto* v = new WlView;
    v->surface = wl_compositor_create_surface(g_wl.compositor);
    v->width = width;
    v->height = height;
    v->events = events;
    v->owner = owner;
    g_views.push_back(v);
    return v;
}

void WlViewDestroy(WlView* v)
{
    if (!v)
        return;
    Unmap(*v);
    WlInputForget(v);
    for (ShmBuffer& b : v->buffers)
        ShmBufferFree(b);
    wl_surface_destroy(v->surface);
    g_views.erase(std::find(g_views.begin(), g_views.end(), v));
    delete v;
    // Gone from the screen at once, not when the queue is next read.
    wl_display_flush(g_wl.display);
}

void WlViewShow(WlView* v, const char* title, WlView* parent)
{
    v->dirty = true;
    if (v->frame)
        return;
    v->frame = libdecor_decorate(g_wl.decor, v->surface, &g_frameInterface, v);
    if (!v->frame)
        return;
    libdecor_frame_set_title(v->frame, title);
    // The desktop entry's name, so the desktop shows the program's icon.
    libdecor_frame_set_app_id(v->frame, "discfire");
    libdecor_frame_unset_capabilities(
        v->frame, static_cast<libdecor_capabilities>(LIBDECOR_ACTION_RESIZE |
                                                     LIBDECOR_ACTION_FULLSCREEN));
    libdecor_frame_set_min_content_size(v->frame, LogicalWidth(*v), LogicalHeight(*v));
    libdecor_frame_set_max_content_size(v->frame, LogicalWidth(*v), LogicalHeight(*v));
    if (parent && parent->frame) {
        libdecor_frame_set_parent(v->frame, parent->frame);
        v->parent = parent;
    }
    libdecor_frame_map(v->frame);
    wl_display_flush(g_wl.display);
}

void WlViewHide(WlView* v) { Unmap(*v); }

void WlViewMinimize(WlView* v)
{
    if (v->frame)
        libdecor_frame_set_minimized(v->frame);
}

void WlViewDirty(WlView* v) { v->dirty = true; }

void WlPresentDirty()
{
    for (WlView* v : g_views)
        Present(*v);
}

WlView* WlViewOf(wl_surface* surface)
{
    for (WlView* v : g_views)
        if (v->surface == surface)
            return v;
    return nullptr;
}

void WlViewButton(WlView* v, bool down, double sx, double sy)
{
    // Surface coordinates are logical; program pixels are scale / buffer scale of them.
    const int x = static_cast<int>(sx * WlBufferScale()) / WlScale();
    const int y = static_cast<int>(sy * WlBufferScale()) / WlScale();
    v->events->button(v->owner, down, x, y);
}
