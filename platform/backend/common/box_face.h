// A message box's face, drawn with our own GDI and shared by the desktop backends: the
// icon, the text line by line and an OK button that answers a click, Enter, Space or Escape.
// A backend only gives it a window and feeds it input in box pixels.
#pragma once

#include <windows.h>

#include "gdi/surface.h"

struct BoxFace {
    Surface surface;
    RECT button{};
    bool pressed = false;
    bool answered = false;
};

// Lays the box out for its text and draws it into face.surface.
void BoxFaceDraw(BoxFace& face, const char* text, UINT type);

// The left button, at a point in box pixels.
void BoxFaceButton(BoxFace& face, bool down, int x, int y);

enum class BoxKey { Return, Enter, Space, Escape, Other };
void BoxFaceKey(BoxFace& face, BoxKey key);
