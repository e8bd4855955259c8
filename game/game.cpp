#include "game/game.h"

GameState g_game;
HINSTANCE g_hInst;
HWND g_hMainWnd;

static uint32_t s_randomState = 1;

void SeedRandom(uint32_t seed) { s_randomState = seed; }

int DrawRandom()
{
    s_randomState = s_randomState * 214013u + 2531011u;
    return static_cast<int>((s_randomState >> 16) & 0x7FFF);
}

DiscBand BandOf(int v)
{
    if (v >= 0)
        return BAND_BURNING;
    if (v > EARLY_TOP)
        return BAND_LATE;
    if (v > OK_TOP)
        return BAND_EARLY;
    if (v >= OK_BOTTOM)
        return BAND_OK;
    return BAND_NONE;
}

static int LateStart() { return LATE_TOP - (g_game.speed + 1); }
static int EarlyStart() { return EARLY_TOP - (g_game.speed + 1); }
static int OkStart() { return OK_TOP - (g_game.speed + 1); }

void AdvanceGame(HWND window)
{
    g_game.flamePhase = g_game.flamePhase == 0 ? 1 : 0;
    if (g_game.speed == 0) {
        g_game.speed = 1;
        g_game.bigLabelPaints = 2;
        SetTimer(window, GAME_TIMER_ID, TICK_BASE_MS, nullptr);
        SeedRandom(GetTickCount());
        for (int i = 0; i < DISC_COUNT; ++i) {
            const int r = DrawRandom();
            g_game.discValue[i] = 0;
            g_game.discTarget[i] = r % 30 + 10;
        }
        return;
    }
    for (int i = 0; i < DISC_COUNT; ++i) {
        g_game.discValue[i] += 1;
        if (g_game.discValue[i] >= BURN_LIMIT)
            g_game.discValue[i] = LateStart();
    }
}

void JudgeClick(HWND window, int x, int y)
{
    if (y < DISC_ROW_TOP || y > DISC_ROW_TOP + DISC_HIT_SIZE)
        return;
    for (int i = 0; i < DISC_COUNT; ++i) {
        const int left = DISC_ROW_LEFT + DISC_PITCH * i;
        if (g_game.discValue[i] < 0 || x < left || x > left + DISC_HIT_SIZE)
            continue;
        const int progress = g_game.discValue[i];
        const int target = g_game.discTarget[i];
        if (progress < target - TOLERANCE)
            g_game.discValue[i] = EarlyStart();
        else if (progress > target + TOLERANCE)
            g_game.discValue[i] = LateStart();
        else
            g_game.discValue[i] = OkStart();
        InvalidateRect(window, nullptr, TRUE);
    }
}

void SettleDueDisc(int i)
{
    const int v = g_game.discValue[i];
    if (v == LATE_TOP || v == EARLY_TOP) {
        g_game.failureCount += 1;
    } else if (v == OK_TOP) {
        g_game.successCount += 1;
        if (g_game.successCount % SUCCESSES_PER_STEP == 0) {
            if (g_game.speed < SPEED_LIMIT) {
                g_game.speed += 1;
                SetTimer(g_hMainWnd, GAME_TIMER_ID, TICK_BASE_MS / g_game.speed, nullptr);
            }
            g_game.bigLabelPaints = g_game.speed;
        }
    } else {
        return;
    }
    const int r = DrawRandom();
    g_game.discValue[i] = 0;
    g_game.discTarget[i] = r % 35 + 30;
}
