// Presentation: the colour ramp, the graphic objects, the drawing primitives and the board
// painter.
#pragma once

#include <windows.h>

const int RAMP_SIZE = 76;
const int DISC_SIZE = 32;

// Burn progress to disc colour; 75 is black.
extern const COLORREF ColourRamp[RAMP_SIZE];

extern HPEN g_penOutline;
extern HBITMAP g_bmpMarkOff;
extern HBITMAP g_bmpMarkOn;
extern HBITMAP g_bmpFlameA;
extern HBITMAP g_bmpFlameB;
extern HFONT g_fontMedium;
extern HFONT g_fontLarge;

// From window creation to window destruction.
void LoadGraphics();
void FreeGraphics();

// Each primitive selects back whatever it displaced.
void DrawDisc(HDC dc, int left, int top, int colourIndex);
void DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y);
void DrawLabel(HDC dc, int x, int y, const char* text);

// The whole client area from g_game, onto a background already erased to white. Settles
// the verdicts that are due, so it changes g_game.
void PaintBoard(HDC dc);
