// The game model: one record holds the whole board, and three rules change it.
#pragma once

#include <windows.h>

#include <cstdint>

const int DISC_COUNT = 5;
const int BURN_LIMIT = 75;
const int VERDICT_BAND = 1024;
const int TOLERANCE = 5;
const int FAILURE_LIMIT = 10;
const int SPEED_LIMIT = 1024;
const int TICK_BASE_MS = 1024;
const int SUCCESSES_PER_STEP = 3;
const int GAME_TIMER_ID = 1;

// A disc's value: 0..74 is burn progress (and its colour index); below that it is a verdict
// counting up towards the top of its band, where the painter settles it.
const int LATE_TOP = -1;                      // late:  -1024 .. -1
const int EARLY_TOP = LATE_TOP - VERDICT_BAND;  // early: -2048 .. -1025
const int OK_TOP = EARLY_TOP - VERDICT_BAND;    // OK:    -3072 .. -2049
const int OK_BOTTOM = OK_TOP - VERDICT_BAND + 1;  // -3072; below it a disc shows nothing

enum DiscBand { BAND_BURNING, BAND_LATE, BAND_EARLY, BAND_OK, BAND_NONE };
DiscBand BandOf(int discValue);

// Where the discs stand in the client area, and how far a click may miss the drawn disc.
const int DISC_ROW_LEFT = 40;
const int DISC_PITCH = 80;
const int DISC_ROW_TOP = 160;
const int DISC_HIT_SIZE = 32;  // both edges included: a 33-pixel box

struct GameState {
    int32_t bigLabelPaints;
    int32_t speed;
    int32_t successCount;
    int32_t failureCount;
    int32_t discValue[DISC_COUNT];
    int32_t discTarget[DISC_COUNT];
    uint8_t flamePhase;
};

extern GameState g_game;

// Shared with the shell and the painter: the module instance and the main window.
extern HINSTANCE g_hInst;
extern HWND g_hMainWnd;

// The program's own generator, so targets come out the same on every platform.
void SeedRandom(uint32_t seed);
int DrawRandom();

void AdvanceGame(HWND window);
void JudgeClick(HWND window, int x, int y);
void SettleDueDisc(int i);
