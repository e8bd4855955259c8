// The board painter: the whole client area, drawn from g_game on every WM_PAINT.
#include "gfx/gfx.h"

#include "game/game.h"

static const int SAMPLE_COUNT = 6;
static const int SAMPLE_LEFT[SAMPLE_COUNT] = {8, 68, 128, 188, 248, 308};
static const int SAMPLE_COLOUR[SAMPLE_COUNT] = {0, 15, 30, 45, 60, 65};
static const char* const SAMPLE_CAPTION[SAMPLE_COUNT] = {"  0MB", "150MB", "300MB",
                                                         "450MB", "600MB", "650MB"};
static const int FLAME_TILES = 16;
static const int MARK_COUNT = 10;

// A disc under its verdict. The verdict's opaque cell, as tall as the large font, covers the
// top of the disc; the disc is settled once its countdown has reached the band top.
static void DrawVerdict(HDC dc, int i, int colourIndex, const char* verdict)
{
    const int left = DISC_ROW_LEFT + DISC_PITCH * i;
    DrawDisc(dc, left, DISC_ROW_TOP, colourIndex);
    SelectObject(dc, g_fontLarge);
    DrawLabel(dc, left, 120, verdict);
    SettleDueDisc(i);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
}

void PaintBoard(HDC dc)
{
    char text[64];
    HFONT oldFont = (HFONT)SelectObject(dc, g_game.bigLabelPaints != 0 ? g_fontLarge : g_fontMedium);
    wsprintfA(text, "x%d CD-R", g_game.speed);
    DrawLabel(dc, 8, 80, text);
    if (g_game.bigLabelPaints > 0)
        g_game.bigLabelPaints -= 1;

    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (int k = 0; k < SAMPLE_COUNT; ++k) {
        DrawDisc(dc, SAMPLE_LEFT[k], 8, SAMPLE_COLOUR[k]);
        DrawLabel(dc, SAMPLE_LEFT[k], 42, SAMPLE_CAPTION[k]);
    }
    DrawLabel(dc, 368, 20, "←見本");
    wsprintfA(text, "成功：%d 枚", g_game.successCount);
    DrawLabel(dc, 420, 30, text);
    DrawLabel(dc, 8, 230, "ほどよい焼き具合になったら、CD-Rをクリックして下さい。");
    DrawLabel(dc, 8, 250, "焼き失敗：");

    for (int k = 0; k < FLAME_TILES; ++k) {
        const bool even = k % 2 == 0;
        HBITMAP frame = g_game.flamePhase ? (even ? g_bmpFlameB : g_bmpFlameA)
                                          : (even ? g_bmpFlameA : g_bmpFlameB);
        DrawBitmapAt(dc, frame, 44 + 32 * k, 200);
    }

    for (int i = 0; i < DISC_COUNT; ++i) {
        const int left = DISC_ROW_LEFT + DISC_PITCH * i;
        const int v = g_game.discValue[i];
        switch (BandOf(v)) {
        case BAND_BURNING:
            wsprintfA(text, "目標%2d0MB", g_game.discTarget[i]);
            DrawLabel(dc, left - 2, 140, text);
            DrawDisc(dc, left, DISC_ROW_TOP, v);
            break;
        case BAND_LATE:
            DrawVerdict(dc, i, RAMP_SIZE - 1, "遅");
            break;
        case BAND_EARLY:
            DrawVerdict(dc, i, RAMP_SIZE - 1, "早");
            break;
        case BAND_OK:
            DrawVerdict(dc, i, g_game.discTarget[i], "OK");
            break;
        case BAND_NONE:
            break;
        }
    }

    for (int k = 0; k < MARK_COUNT; ++k)
        DrawBitmapAt(dc, k < g_game.failureCount ? g_bmpMarkOn : g_bmpMarkOff, 80 + 24 * k, 245);

    SelectObject(dc, oldFont);
}
