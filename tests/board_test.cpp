// The board painter on a headless window, probed pixel by pixel.
#include <gtest/gtest.h>

#include <vector>

#include "backend/headless/headless.h"
#include "game/game.h"
#include "gdi/gdi.h"
#include "gfx/gfx.h"
#include "snapshot.h"
#include "user/wm.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0xFF0000, kGrey = 0xC0C0C0;

LRESULT CALLBACK BoardProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        PaintBoard(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

uint32_t Ramp(int i) { return PixelFromColorref(ColourRamp[i]); }
int DiscLeft(int i) { return DISC_ROW_LEFT + DISC_PITCH * i; }

class Board : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset(1);
        g_hInst = reinterpret_cast<HINSTANCE>(0x400000);
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = BoardProc;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "BOARD";
        ASSERT_TRUE(RegisterClassExA(&wc));
        window = CreateWindowExA(0, "BOARD", "", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                                 600, 300, nullptr, nullptr, g_hInst, nullptr);
        ASSERT_TRUE(window);
        ShowWindow(window, SW_SHOWNORMAL);
        g_hMainWnd = window;
        LoadGraphics();
        // A quiet board: speed 1, the label small, every disc blue with a target of 300 MB.
        g_game = GameState{};
        g_game.speed = 1;
        for (int i = 0; i < DISC_COUNT; ++i)
            g_game.discTarget[i] = 30;
    }
    void TearDown() override
    {
        if (window)
            SaveSnapshotOnFailure(Screen());
        FreeGraphics();
        HeadlessReset(0);
        g_hMainWnd = nullptr;
    }

    void Paint()
    {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
    const Surface& Screen() { return WmFind(window)->surface; }
    uint32_t At(int x, int y) { return Screen().At(x, y); }
    // Pixels in [x0, x1) x [y0, y1) darker than mid-grey: text ink, outlines.
    int Ink(int x0, int y0, int x1, int y1)
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += (At(x, y) & 0xFF) < 0x80 && ((At(x, y) >> 16) & 0xFF) < 0x80;
        return n;
    }
    std::vector<uint32_t> Region(int x0, int y0, int x1, int y1)
    {
        std::vector<uint32_t> out;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                out.push_back(At(x, y));
        return out;
    }
    bool LabelIsLarge()
    {
        // "x1 CD-R" has no descenders: in the 30-px font its ink ends by y 108, in the
        // 50-px font it reaches down to the baseline near y 121.
        return Ink(8, 112, 250, 126) > 0;
    }

    HWND window = nullptr;
};

TEST_F(Board, DiscsShowTheirColourOrVerdictAroundAWhiteHole)
{
    struct Case {
        int value, target;
        uint32_t colour;
        bool verdict;
    } cases[] = {
        {0, 30, Ramp(0), false},           {37, 30, Ramp(37), false},
        {74, 30, Ramp(74), false},         {OK_TOP - 2, 45, Ramp(45), true},
        {LATE_TOP - 2, 45, kBlack, true},  {EARLY_TOP - 2, 45, kBlack, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        g_game.discValue[2] = c.value;
        g_game.discTarget[2] = c.target;
        Paint();
        const int l = DiscLeft(2);
        EXPECT_EQ(At(l + 5, DISC_ROW_TOP + 16), c.colour);   // the disc's body
        EXPECT_EQ(At(l, DISC_ROW_TOP + 16), kBlack);         // its outline
        EXPECT_EQ(At(l + 15, DISC_ROW_TOP + 15), kWhite);    // the hole
        EXPECT_EQ(At(l + 11, DISC_ROW_TOP + 16), kBlack);    // the hole's outline
        // A verdict's 50-px cell from y 120 covers the disc's top ten rows; the label above
        // a burning disc sits higher and leaves them alone.
        const int coveredRow = DISC_ROW_TOP + 9;
        EXPECT_EQ(At(l + 16, coveredRow), c.verdict ? kWhite : c.colour);
        EXPECT_EQ(At(l + 16, coveredRow + 1), c.colour);
        EXPECT_EQ(Ink(l, 120, l + 40, 138) > 0, c.verdict);
    }
}

TEST_F(Board, MarksTurnRedOneByOneAndAllTenPastTheLimit)
{
    for (int failures : {0, 3, 10, 12}) {
        SCOPED_TRACE(failures);
        g_game.failureCount = failures;
        Paint();
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(At(80 + 24 * k + 12, 245 + 12), k < failures ? kRed : kGrey) << k;
    }
}

TEST_F(Board, FlameFramesSwapWithThePhase)
{
    const Surface& a = *GdiFindObject(g_bmpFlameA)->bitmap;
    const Surface& b = *GdiFindObject(g_bmpFlameB)->bitmap;
    ASSERT_NE(a.pixels, b.pixels);
    for (int phase : {0, 1}) {
        g_game.flamePhase = static_cast<uint8_t>(phase);
        Paint();
        for (int k = 0; k < 16; ++k) {
            const Surface& expected = (k % 2 == 0) == (phase == 1) ? b : a;
            bool same = true;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 32; ++x)
                    same = same && At(44 + 32 * k + x, 200 + y) == expected.At(x, y);
            EXPECT_TRUE(same) << "phase " << phase << " tile " << k;
        }
    }
}

TEST_F(Board, SpeedLabelIsLargeForExactlyTwoPaints)
{
    g_game = GameState{};
    AdvanceGame(window);  // starts the game: speed 1, two large paints
    std::vector<bool> large;
    for (int i = 0; i < 4; ++i) {
        Paint();
        large.push_back(LabelIsLarge());
    }
    EXPECT_EQ(large, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(g_game.bigLabelPaints, 0);
}

TEST_F(Board, SettlementShowsInTheMarksAtOnceAndInTheSuccessCountAtTheNextPaint)
{
    g_game.failureCount = 2;
    g_game.discValue[0] = OK_TOP - 3;  // in the OK band, not yet due
    Paint();
    const std::vector<uint32_t> zeroSuccesses = Region(420, 30, 594, 50);
    EXPECT_GT(Ink(420, 30, 594, 50), 0);

    g_game.discValue[0] = OK_TOP;    // due: a success
    g_game.discValue[1] = LATE_TOP;  // due: a third failure
    Paint();
    EXPECT_EQ(g_game.successCount, 1);
    EXPECT_EQ(g_game.failureCount, 3);
    EXPECT_EQ(At(80 + 24 * 2 + 12, 257), kRed);               // the mark, at once
    EXPECT_EQ(Region(420, 30, 594, 50), zeroSuccesses);      // the count, not yet
    EXPECT_EQ(At(DiscLeft(0) + 16, DISC_ROW_TOP + 9), kWhite);  // still under its verdict

    Paint();
    EXPECT_NE(Region(420, 30, 594, 50), zeroSuccesses);
    EXPECT_EQ(At(DiscLeft(0) + 5, DISC_ROW_TOP + 16), Ramp(0));  // burning again from blue
}

TEST_F(Board, PaintingLeaksNothingAndRestoresTheFont)
{
    Paint();
    const size_t live = GdiLiveObjects();
    for (int i = 0; i < 10000; ++i) {
        g_game.discValue[i % DISC_COUNT] = i % 7 == 0 ? LATE_TOP : i % 75;
        g_game.flamePhase = static_cast<uint8_t>(i & 1);
        Paint();
    }
    EXPECT_EQ(GdiLiveObjects(), live);

    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HFONT own = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
    PaintBoard(dc);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), own);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EndPaint(window, &ps);
}

TEST_F(Board, MissingArtLeavesTheRestOfTheBoard)
{
    FreeGraphics();
    g_hInst = nullptr;  // no module: no bitmaps
    LoadGraphics();
    EXPECT_EQ(g_bmpFlameA, nullptr);
    const size_t live = GdiLiveObjects();
    Paint();
    EXPECT_EQ(GdiLiveObjects(), live);
    EXPECT_EQ(At(44 + 5, 200 + 14), kWhite);  // no flames
    EXPECT_EQ(At(DiscLeft(0) + 5, DISC_ROW_TOP + 16), Ramp(0));
    EXPECT_GT(Ink(8, 80, 200, 130), 0);  // the speed label
}

// Where the layout puts each element, and a picture of a game in progress for the README.
TEST_F(Board, MidGameBoardFollowsTheLayout)
{
    g_game.speed = 2;
    g_game.successCount = 4;
    g_game.failureCount = 3;
    g_game.flamePhase = 1;
    const int values[DISC_COUNT] = {12, OK_TOP - 2, 40, LATE_TOP - 2, 58};
    const int targets[DISC_COUNT] = {20, 33, 45, 38, 55};
    for (int i = 0; i < DISC_COUNT; ++i) {
        g_game.discValue[i] = values[i];
        g_game.discTarget[i] = targets[i];
    }
    Paint();
    SaveSnapshot(Screen(), "board");

    const int sampleColour[6] = {0, 15, 30, 45, 60, 65};
    for (int k = 0; k < 6; ++k) {
        const int left = 8 + 60 * k;
        EXPECT_EQ(At(left, 8 + 16), kBlack) << k;
        EXPECT_EQ(At(left + 5, 8 + 16), Ramp(sampleColour[k])) << k;
        EXPECT_GT(Ink(left, 42, left + 40, 60), 0) << "caption " << k;
    }
    EXPECT_GT(Ink(368, 20, 420, 36), 0);   // ←見本
    EXPECT_GT(Ink(420, 30, 520, 46), 0);   // 成功：4 枚
    EXPECT_GT(Ink(8, 230, 400, 246), 0);   // the instruction
    EXPECT_GT(Ink(8, 250, 70, 266), 0);    // 焼き失敗：
    EXPECT_GT(Ink(8, 85, 200, 122), 0);    // x2 CD-R, medium
    EXPECT_NE(At(44, 215), kWhite);        // the flame band, 512 px from x 44
    EXPECT_NE(At(44 + 511, 215), kWhite);
    EXPECT_EQ(At(44 + 512, 215), kWhite);
    for (int i : {0, 2, 4})
        EXPECT_GT(Ink(DiscLeft(i) - 2, 140, DiscLeft(i) + 60, 156), 0) << "target " << i;
    EXPECT_EQ(At(DiscLeft(1) + 5, DISC_ROW_TOP + 16), Ramp(33));
    EXPECT_EQ(At(DiscLeft(3) + 5, DISC_ROW_TOP + 16), kBlack);
    EXPECT_EQ(At(80 + 24 * 2 + 12, 257), kRed);
    EXPECT_EQ(At(80 + 24 * 3 + 12, 257), kGrey);
}

}  // namespace
