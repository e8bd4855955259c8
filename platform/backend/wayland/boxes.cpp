// Message boxes as toplevels of their own, over their owner where there is one, showing the
// shared box face.
#include <linux/input-event-codes.h>

#include <cstring>
#include <map>
#include <memory>

#include "backend/common/box_face.h"
#include "backend/wayland/wayland.h"
#include "gdi/cp932.h"

namespace {

struct Box {
    BoxFace face;
    WlView* view = nullptr;
};

std::map<int, std::unique_ptr<Box>> g_boxes;
int g_nextBox = 1;

const Surface* Pixels(void* owner) { return &static_cast<Box*>(owner)->face.surface; }
void Close(void* owner) { static_cast<Box*>(owner)->face.answered = true; }

void Button(void* owner, bool down, int x, int y)
{
    BoxFaceButton(static_cast<Box*>(owner)->face, down, x, y);
}

const WlViewEvents kBoxEvents = {Pixels, Close, Button};

BoxKey KeyOf(uint32_t evdevKey)
{
    switch (evdevKey) {
    case KEY_ENTER:
        return BoxKey::Return;
    case KEY_KPENTER:
        return BoxKey::Enter;
    case KEY_SPACE:
        return BoxKey::Space;
    case KEY_ESC:
        return BoxKey::Escape;
    default:
        return BoxKey::Other;
    }
}

}  // namespace

int WlBoxOpen(HWND owner, const char* text, const char* caption, UINT type)
{
    auto box = std::make_unique<Box>();
    BoxFaceDraw(box->face, text, type);
    box->view = WlViewCreate(box->face.surface.width, box->face.surface.height, &kBoxEvents,
                             box.get());
    const int id = g_nextBox++;
    Box& b = *(g_boxes[id] = std::move(box));
    WlViewShow(b.view, Cp932ToUtf8(caption, strlen(caption)).c_str(), WlWindowView(owner));
    return id;
}

bool WlBoxAnswered(int id, int* result)
{
    auto it = g_boxes.find(id);
    if (it == g_boxes.end() || !it->second->face.answered)
        return false;
    *result = IDOK;
    return true;
}

void WlBoxClose(int id)
{
    auto it = g_boxes.find(id);
    if (it == g_boxes.end())
        return;
    WlViewDestroy(it->second->view);
    g_boxes.erase(it);
}

// Keys go to the box in front, whichever surface the compositor gave the focus.
bool WlBoxKey(uint32_t evdevKey)
{
    if (g_boxes.empty())
        return false;
    BoxFaceKey(g_boxes.rbegin()->second->face, KeyOf(evdevKey));
    return true;
}

bool WlAnyBoxAnswered()
{
    for (const auto& [id, box] : g_boxes)
        if (box->face.answered)
            return true;
    return false;
}

void WlBoxCancelAll()
{
    for (auto& [id, box] : g_boxes)
        box->face.answered = true;
}
