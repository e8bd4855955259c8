// Message boxes as real windows, drawn with our own GDI: an icon, the text line by line, and
// an OK button that answers a click, Enter, Space or Escape. The core runs the modal loop.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backend/backend.h"
#include "backend/sdl/sdl.h"
#include "gdi/gdi.h"
#include "gdi/cp932.h"
#include "user/wm.h"

namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonW = 75, kButtonH = 23;
constexpr COLORREF kBand = RGB(240, 240, 240);
constexpr COLORREF kButtonFace = RGB(225, 225, 225);
constexpr COLORREF kButtonEdge = RGB(112, 112, 112);

struct Box {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    Surface surface;
    RECT button{};
    bool pressed = false;
    bool answered = false;
};

std::map<int, std::unique_ptr<Box>> g_boxes;
int g_nextBox = 1;

std::vector<std::string> Lines(const char* text)
{
    std::vector<std::string> lines(1);
    for (const char* p = text; *p; ++p) {
        if (*p == '\n')
            lines.emplace_back();
        else if (*p != '\r')
            lines.back() += *p;
    }
    return lines;
}

void Fill(HDC dc, int l, int t, int r, int b, COLORREF colour)
{
    const RECT rc{l, t, r, b};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
}

// Our own icons: a blue disc with an "i", or a red one with a cross.
void DrawIcon(HDC dc, int x, int y, UINT type)
{
    const bool error = (type & MB_ICONMASK) == MB_ICONERROR;
    HBRUSH brush = CreateSolidBrush(error ? RGB(210, 30, 30) : RGB(30, 100, 210));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Ellipse(dc, x, y, x + kIconSize, y + kIconSize);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    const COLORREF white = RGB(255, 255, 255);
    if (error) {
        for (int t = 0; t <= 12; ++t) {
            Fill(dc, x + 9 + t, y + 9 + t, x + 12 + t, y + 12 + t, white);
            Fill(dc, x + 21 - t, y + 9 + t, x + 24 - t, y + 12 + t, white);
        }
    } else {
        Fill(dc, x + 14, y + 7, x + 18, y + 11, white);
        Fill(dc, x + 14, y + 13, x + 18, y + 25, white);
    }
}

void Layout(Box& box, const char* text, UINT type)
{
    const std::vector<std::string> lines = Lines(text);
    Surface measure;
    measure.Resize(1, 1, 0);
    HDC dc = GdiOpenSurfaceDC(&measure, RECT{0, 0, 1, 1});
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32A(dc, "Ag", 2, &size);
    const int lineH = std::max<int>(size.cy, 12) + 2;
    int textW = 0;
    for (const auto& l : lines) {
        GetTextExtentPoint32A(dc, l.c_str(), static_cast<int>(l.size()), &size);
        textW = std::max<int>(textW, size.cx);
    }
    SelectObject(dc, oldFont);
    GdiCloseDC(dc);

    const bool icon = (type & MB_ICONMASK) != 0;
    const int textX = kMargin + (icon ? kIconSize + kMargin : 0);
    const int textH = lineH * static_cast<int>(lines.size());
    const int bodyH = std::max(textH, icon ? kIconSize : 0) + 2 * kMargin;
    const int width = std::max(textX + textW + 2 * kMargin, kButtonW + 6 * kMargin);
    const int height = bodyH + kButtonH + 2 * kMargin;
    box.surface.Resize(width, height, 0x00FFFFFF);
    box.button = {width - kMargin - kButtonW, bodyH + kMargin, width - kMargin,
                  bodyH + kMargin + kButtonH};

    dc = GdiOpenSurfaceDC(&box.surface, RECT{0, 0, width, height});
    Fill(dc, 0, bodyH, width, height, kBand);
    if (icon)
        DrawIcon(dc, kMargin, kMargin, type);
    oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const int textY = kMargin + std::max(0, (std::max(textH, icon ? kIconSize : 0) - textH) / 2);
    for (size_t i = 0; i < lines.size(); ++i)
        TextOutA(dc, textX, textY + lineH * static_cast<int>(i), lines[i].c_str(),
                 static_cast<int>(lines[i].size()));
    const RECT& b = box.button;
    Fill(dc, b.left, b.top, b.right, b.bottom, kButtonEdge);
    Fill(dc, b.left + 1, b.top + 1, b.right - 1, b.bottom - 1, kButtonFace);
    SetBkColor(dc, kButtonFace);
    GetTextExtentPoint32A(dc, "OK", 2, &size);
    TextOutA(dc, (b.left + b.right - size.cx) / 2, (b.top + b.bottom - size.cy) / 2, "OK", 2);
    SelectObject(dc, oldFont);
    GdiCloseDC(dc);
}

void Present(Box& box)
{
    SDL_UpdateTexture(box.texture, nullptr, box.surface.pixels.data(), box.surface.width * 4);
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

Box* NewestBox() { return g_boxes.empty() ? nullptr : g_boxes.rbegin()->second.get(); }

bool Inside(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

int BackendBoxOpen(HWND owner, const char* text, const char* caption, UINT type)
{
    auto box = std::make_unique<Box>();
    Layout(*box, text, type);
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    NativeWindow* ownerWindow = SdlFindWindow(owner);
    if (ownerWindow) {
        int ox, oy, ow, oh;
        SDL_GetWindowPosition(ownerWindow->window, &ox, &oy);
        SDL_GetWindowSize(ownerWindow->window, &ow, &oh);
        x = ox + (ow - box->surface.width * SdlScale()) / 2;
        y = oy + (oh - box->surface.height * SdlScale()) / 2;
    }
    box->window = SDL_CreateWindow(Cp932ToUtf8(caption, strlen(caption)).c_str(), x, y,
                                   box->surface.width * SdlScale(),
                                   box->surface.height * SdlScale(), SDL_WINDOW_HIDDEN);
    if (box->window)
        box->renderer = SDL_CreateRenderer(box->window, -1, SDL_RENDERER_SOFTWARE);
    if (box->renderer)
        box->texture = SDL_CreateTexture(box->renderer, SDL_PIXELFORMAT_RGB888,
                                         SDL_TEXTUREACCESS_STREAMING, box->surface.width,
                                         box->surface.height);
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

bool BackendBoxAnswered(int id, int* result)
{
    auto it = g_boxes.find(id);
    if (it == g_boxes.end() || !it->second->answered)
        return false;
    *result = IDOK;
    return true;
}

void BackendBoxClose(int id)
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
        if (box->answered)
            return true;
    return false;
}

void SdlBoxCancelAll()
{
    for (auto& [id, box] : g_boxes)
        box->answered = true;
}

bool SdlBoxHandleEvent(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_WINDOWEVENT: {
        Box* box = FindBox(e.window.windowID);
        if (!box)
            return false;
        if (e.window.event == SDL_WINDOWEVENT_CLOSE)
            box->answered = true;
        else if (e.window.event == SDL_WINDOWEVENT_EXPOSED)
            Present(*box);
        return true;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        Box* box = FindBox(e.button.windowID);
        if (!box)
            return false;
        if (e.button.button == SDL_BUTTON_LEFT) {
            const bool in =
                Inside(box->button, e.button.x / SdlScale(), e.button.y / SdlScale());
            if (e.type == SDL_MOUSEBUTTONDOWN)
                box->pressed = in;
            else if (box->pressed && in)
                box->answered = true;
        }
        return true;
    }
    case SDL_KEYDOWN: {
        // Keys go to the box in front, whichever window the desktop thinks has focus.
        Box* box = FindBox(e.key.windowID);
        if (!box)
            box = NewestBox();
        if (!box)
            return false;
        switch (e.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_SPACE:
        case SDLK_ESCAPE:
            box->answered = true;
            break;
        default:
            break;
        }
        return true;
    }
    default:
        return false;
    }
}
