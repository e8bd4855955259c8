// Message box faces: layout, our own icons, text and the OK button.
#include "backend/common/box_face.h"

#include <algorithm>
#include <string>
#include <vector>

#include "gdi/gdi.h"

namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonW = 75, kButtonH = 23;
constexpr COLORREF kBand = RGB(240, 240, 240);
constexpr COLORREF kButtonFace = RGB(225, 225, 225);
constexpr COLORREF kButtonEdge = RGB(112, 112, 112);

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

}  // namespace

void BoxFaceDraw(BoxFace& box, const char* text, UINT type)
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

namespace {

bool Inside(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

void BoxFaceButton(BoxFace& face, bool down, int x, int y)
{
    const bool in = Inside(face.button, x, y);
    if (down)
        face.pressed = in;
    else if (face.pressed && in)
        face.answered = true;
}

void BoxFaceKey(BoxFace& face, BoxKey key)
{
    if (key != BoxKey::Other)
        face.answered = true;
}
