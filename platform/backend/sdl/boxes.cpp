// Message boxes as SDL windows showing the shared box face. The core runs the modal loop.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backend/backend.h"
#include "backend/common/box_face.h"
#include "backend/sdl/sdl.h"
#include "gdi/cp932.h"
#include "user/wm.h"

namespace {

struct Box {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    BoxFace face;
};

std::map<int, std::unique_ptr<Box>> g_boxes;
int g_nextBox = 1;

void Present(Box& box)
{
    SDL_UpdateTexture(box.texture, nullptr, box.face.surface.pixels.data(), box.face.surface.width * 4);
    SDL_RenderClear(box.renderer);
    SDL_RenderCopy(box.renderer, box.texture, nullptr, nullptr);
    SDL_RenderPresent(box.renderer);
}

Box* FindBox(Uint32 windowId)
{
    for (auto& [id, box] : g_boxes)
        if (SDL_GetWindowID(box->window) == windowId)
            return box.get();
    return nullptr;
}

BoxKey KeyOf(SDL_Keycode key)
{
    switch (key) {
    case SDLK_RETURN:
        return BoxKey::Return;
    case SDLK_KP_ENTER:
        return BoxKey::Enter;
    case SDLK_SPACE:
        return BoxKey::Space;
    case SDLK_ESCAPE:
        return BoxKey::Escape;
    default:
        return BoxKey::Other;
    }
}

Box* NewestBox() { return g_boxes.empty() ? nullptr : g_boxes.rbegin()->second.get(); }

}  // namespace

int SdlBoxOpen(HWND owner, const char* text, const char* caption, UINT type)
{
    auto box = std::make_unique<Box>();
    BoxFaceDraw(box->face, text, type);
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    NativeWindow* ownerWindow = SdlFindWindow(owner);
    if (ownerWindow) {
        int ox, oy, ow, oh;
        SDL_GetWindowPosition(ownerWindow->window, &ox, &oy);
        SDL_GetWindowSize(ownerWindow->window, &ow, &oh);
        x = ox + (ow - box->face.surface.width * SdlScale()) / 2;
        y = oy + (oh - box->face.surface.height * SdlScale()) / 2;
    }
    box->window = SDL_CreateWindow(Cp932ToUtf8(caption, strlen(caption)).c_str(), x, y,
                                   box->face.surface.width * SdlScale(),
                                   box->face.surface.height * SdlScale(), SDL_WINDOW_HIDDEN);
    if (box->window)
        box->renderer = SDL_CreateRenderer(box->window, -1, SDL_RENDERER_SOFTWARE);
    if (box->renderer)
        box->texture = SDL_CreateTexture(box->renderer, SDL_PIXELFORMAT_RGB888,
                                         SDL_TEXTUREACCESS_STREAMING, box->face.surface.width,
                                         box->face.surface.height);
    if (!box->texture) {
        if (box->renderer)
            SDL_DestroyRenderer(box->renderer);
        if (box->window)
            SDL_DestroyWindow(box->window);
        return 0;
    }
    // Known before it shows: showing pumps events, and a key may already be waiting.
    const int id = g_nextBox++;
    Box& b = *(g_boxes[id] = std::move(box));
    if (ownerWindow)
        SDL_SetWindowModalFor(b.window, ownerWindow->window);
    SDL_ShowWindow(b.window);
    SDL_RaiseWindow(b.window);
    Present(b);
    return id;
}

bool SdlBoxAnswered(int id, int* result)
{
    auto it = g_boxes.find(id);
    if (it == g_boxes.end() || !it->second->face.answered)
        return false;
    *result = IDOK;
    return true;
}

void SdlBoxClose(int id)
{
    auto it = g_boxes.find(id);
    if (it == g_boxes.end())
        return;
    SDL_DestroyTexture(it->second->texture);
    SDL_DestroyRenderer(it->second->renderer);
    SDL_DestroyWindow(it->second->window);
    g_boxes.erase(it);
}

bool SdlAnyBoxAnswered()
{
    for (const auto& [id, box] : g_boxes)
        if (box->face.answered)
            return true;
    return false;
}

void SdlBoxCancelAll()
{
    for (auto& [id, box] : g_boxes)
        box->face.answered = true;
}

bool SdlBoxHandleEvent(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_WINDOWEVENT: {
        Box* box = FindBox(e.window.windowID);
        if (!box)
            return false;
        if (e.window.event == SDL_WINDOWEVENT_CLOSE)
            box->face.answered = true;
        else if (e.window.event == SDL_WINDOWEVENT_EXPOSED)
            Present(*box);
        return true;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        Box* box = FindBox(e.button.windowID);
        if (!box)
            return false;
        if (e.button.button == SDL_BUTTON_LEFT)
            BoxFaceButton(box->face, e.type == SDL_MOUSEBUTTONDOWN, e.button.x / SdlScale(),
                          e.button.y / SdlScale());
        return true;
    }
    case SDL_KEYDOWN: {
        // Keys go to the box in front, whichever window the desktop thinks has focus.
        Box* box = FindBox(e.key.windowID);
        if (!box)
            box = NewestBox();
        if (!box)
            return false;
        BoxFaceKey(box->face, KeyOf(e.key.keysym.sym));
        return true;
    }
    default:
        return false;
    }
}
