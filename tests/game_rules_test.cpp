// The rules of the game against the board record, on a headless window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backend/headless/headless.h"
#include "game/game.h"
#include "user/trace.h"

namespace {

LRESULT CALLBACK QuietProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class GameRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset(1);
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = QuietProc;
        wc.lpszClassName = "RULES";
        ASSERT_TRUE(RegisterClassExA(&wc));
        window = CreateWindowExA(0, "RULES", "", WS_CAPTION, 0, 0, 600, 300, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_TRUE(window);
        ShowWindow(window, SW_SHOWNORMAL);
        g_hMainWnd = window;
        g_game = GameState{};
        SetTraceSink([this](const std::string& line) { calls.push_back(line); });
        AdvanceGame(window);  // starts the game, seeded from GetTickCount() == 1
        ValidateRect(window, nullptr);
        calls.clear();
    }
    void TearDown() override { SetTraceSink(nullptr); }

    bool Invalidated()
    {
        MSG m;
        return PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE) && m.message == WM_PAINT;
    }

    // Settles every disc as the painter would, in index order.
    void Paint()
    {
        for (int i = 0; i < DISC_COUNT; ++i)
            if (g_game.discValue[i] < 0)
                SettleDueDisc(i);
    }

    HWND window = nullptr;
    std::vector<std::string> calls;
};

TEST(Generator, FollowsTheLinearCongruentialSequence)
{
    SeedRandom(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (int e : expected)
        EXPECT_EQ(DrawRandom(), e);
    SeedRandom(0xFFFFFFFFu);  // the state wraps at 2^32
    for (int i = 0; i < 100000; ++i) {
        const int r = DrawRandom();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

TEST_F(GameRules, StartArmsTheTimerAndDrawsFirstTargetsFromTheTickCount)
{
    g_game = GameState{};
    AdvanceGame(window);
    EXPECT_EQ(g_game.speed, 1);
    EXPECT_EQ(g_game.bigLabelPaints, 2);
    EXPECT_EQ(g_game.flamePhase, 1);
    ASSERT_EQ(calls, std::vector<std::string>{"SetTimer id=1 ms=1024"});
    // Seeded with GetTickCount() == 1, so the five targets come from 41, 18467, 6334, ...
    const int expected[] = {41 % 30 + 10, 18467 % 30 + 10, 6334 % 30 + 10, 26500 % 30 + 10,
                            19169 % 30 + 10};
    for (int i = 0; i < DISC_COUNT; ++i) {
        EXPECT_EQ(g_game.discValue[i], 0);
        EXPECT_EQ(g_game.discTarget[i], expected[i]);
    }
    AdvanceGame(window);  // a later call advances: no second start
    EXPECT_EQ(g_game.flamePhase, 0);
    EXPECT_EQ(g_game.discValue[0], 1);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(GameRules, TargetsStayInTheirRanges)
{
    for (int seed = 0; seed < 2000; ++seed) {
        g_game = GameState{};
        HeadlessReset(static_cast<uint32_t>(seed) * 7919u);
        AdvanceGame(nullptr);
        for (int i = 0; i < DISC_COUNT; ++i) {
            ASSERT_GE(g_game.discTarget[i], 10);
            ASSERT_LE(g_game.discTarget[i], 39);
            g_game.discValue[i] = LATE_TOP;
            SettleDueDisc(i);
            ASSERT_GE(g_game.discTarget[i], 30);
            ASSERT_LE(g_game.discTarget[i], 64);
        }
    }
}

TEST_F(GameRules, ClickJudgement)
{
    struct Case {
        const char* what;
        int progress, x, y;
        int expected;  // relative to the target when burning, else the exact value
    };
    const int t = 30, L = 40 + 80 * 2;  // disc 2
    const int early = -1026 - 1, late = -2 - 1, ok = -2050 - 1;
    const Case cases[] = {
        {"t-6 is early", t - 6, L + 5, 170, early},
        {"t-5 is ok", t - 5, L + 5, 170, ok},
        {"t is ok", t, L + 5, 170, ok},
        {"t+5 is ok", t + 5, L + 5, 170, ok},
        {"t+6 is late", t + 6, L + 5, 170, late},
        {"left edge L hits", t, L, 170, ok},
        {"L+32 hits", t, L + 32, 170, ok},
        {"L-1 misses", t, L - 1, 170, t},
        {"L+33 misses", t, L + 33, 170, t},
        {"y 160 hits", t, L + 5, 160, ok},
        {"y 192 hits", t, L + 5, 192, ok},
        {"y 159 misses", t, L + 5, 159, t},
        {"y 193 misses", t, L + 5, 193, t},
        {"a late verdict takes no click", -3, L + 5, 170, -3},
        {"an ok verdict takes no click", -2051, L + 5, 170, -2051},
        {"a value below every band takes no click", -5000, L + 5, 170, -5000},
        {"progress 0 is a burning disc", 0, L + 5, 170, early},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int i = 0; i < DISC_COUNT; ++i) {
            g_game.discValue[i] = 20;
            g_game.discTarget[i] = 20;
        }
        g_game.discValue[2] = c.progress;
        g_game.discTarget[2] = t;
        ValidateRect(window, nullptr);
        JudgeClick(window, c.x, c.y);
        EXPECT_EQ(g_game.discValue[2], c.expected);
        EXPECT_EQ(Invalidated(), c.expected != c.progress);
        for (int i : {0, 1, 3, 4})
            EXPECT_EQ(g_game.discValue[i], 20);
    }
}

TEST_F(GameRules, VerdictStartDependsOnTheSpeedOfTheMoment)
{
    g_game.speed = 7;
    g_game.discValue[0] = g_game.discTarget[0];
    JudgeClick(window, 40, 160);
    EXPECT_EQ(g_game.discValue[0], -2050 - 7);
}

TEST_F(GameRules, LateVerdictAtSpeedOneCountsDownThenSettles)
{
    g_game.discValue[1] = 74;
    AdvanceGame(window);
    EXPECT_EQ(g_game.discValue[1], -3);
    Paint();
    AdvanceGame(window);
    EXPECT_EQ(g_game.discValue[1], -2);
    Paint();
    EXPECT_EQ(g_game.failureCount, 0);
    AdvanceGame(window);
    EXPECT_EQ(g_game.discValue[1], -1);
    Paint();
    EXPECT_EQ(g_game.failureCount, 1);
    EXPECT_EQ(g_game.discValue[1], 0);
    EXPECT_GE(g_game.discTarget[1], 30);
}

TEST_F(GameRules, UnclickedDiscTurnsLateOnTheSeventyFifthTick)
{
    for (int tick = 1; tick <= 74; ++tick)
        AdvanceGame(window);
    EXPECT_EQ(g_game.discValue[0], 74);
    AdvanceGame(window);
    for (int i = 0; i < DISC_COUNT; ++i)
        EXPECT_EQ(g_game.discValue[i], -3);
}

TEST_F(GameRules, SettlementGoesInIndexOrderWithOneDrawEach)
{
    g_game.failureCount = 9;
    g_game.discValue[1] = LATE_TOP;
    g_game.discValue[3] = EARLY_TOP;
    g_game.discValue[4] = -1024;  // inside the late band, not at its top
    SeedRandom(1);
    Paint();
    EXPECT_EQ(g_game.failureCount, 11);
    EXPECT_EQ(g_game.discTarget[1], 41 % 35 + 30);
    EXPECT_EQ(g_game.discTarget[3], 18467 % 35 + 30);
    EXPECT_EQ(g_game.discValue[4], -1024);
    EXPECT_EQ(DrawRandom(), 6334);  // exactly two draws were taken
}

TEST_F(GameRules, EveryThirdSuccessRaisesTheSpeedAndRearmsTheTimer)
{
    const int expectedMs[] = {512, 341, 256, 204, 170, 146, 128};
    for (int step = 0; step < 7; ++step) {
        for (int s = 0; s < 3; ++s) {
            g_game.discValue[0] = OK_TOP;
            SettleDueDisc(0);
        }
        EXPECT_EQ(g_game.speed, step + 2);
        EXPECT_EQ(g_game.bigLabelPaints, step + 2);
        ASSERT_EQ(calls.size(), static_cast<size_t>(step + 1));
        EXPECT_EQ(calls.back(), "SetTimer id=1 ms=" + std::to_string(expectedMs[step]));
    }
    EXPECT_EQ(g_game.successCount, 21);

    g_game.bigLabelPaints = 0;
    g_game.discValue[0] = OK_TOP;  // the 22nd: no step
    SettleDueDisc(0);
    EXPECT_EQ(g_game.speed, 8);
    EXPECT_EQ(g_game.bigLabelPaints, 0);
}

TEST_F(GameRules, SpeedStopsAt1024ButTheLabelStillGrows)
{
    g_game.speed = 1023;
    g_game.successCount = 2;
    g_game.discValue[0] = OK_TOP;
    SettleDueDisc(0);
    EXPECT_EQ(g_game.speed, 1024);
    EXPECT_EQ(calls.back(), "SetTimer id=1 ms=1");
    calls.clear();
    g_game.successCount = 5;
    g_game.bigLabelPaints = 3;
    g_game.discValue[0] = OK_TOP;
    SettleDueDisc(0);
    EXPECT_EQ(g_game.speed, 1024);
    EXPECT_EQ(g_game.bigLabelPaints, 1024);
    EXPECT_TRUE(calls.empty());
}

TEST_F(GameRules, SettleIgnoresValuesOffTheBandTops)
{
    for (int v : {0, 5, 74, -2, -1024, -1026, -2048, -2050, -3072, -4000}) {
        g_game.discValue[0] = v;
        SettleDueDisc(0);
        EXPECT_EQ(g_game.discValue[0], v);
    }
    EXPECT_EQ(g_game.successCount + g_game.failureCount, 0);
}

// At speeds 1023 and 1024 verdict start values cross into the band above.
TEST_F(GameRules, BandCrossingsAtTheTopSpeeds)
{
    struct Case {
        int speed, progressVsTarget;
        DiscBand shownAs;
        int successes, failures;
    };
    const Case cases[] = {
        {1022, +10, BAND_LATE, 0, 1}, {1022, -10, BAND_EARLY, 0, 1}, {1022, 0, BAND_OK, 1, 0},
        {1023, +10, BAND_EARLY, 0, 1}, {1023, -10, BAND_OK, 1, 0},   {1023, 0, BAND_NONE, 1, 0},
        {1024, +10, BAND_EARLY, 0, 1}, {1024, -10, BAND_OK, 1, 0},   {1024, 0, BAND_NONE, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "speed " << c.speed << " offset " << c.progressVsTarget);
        g_game = GameState{};
        g_game.speed = c.speed;
        for (int i = 1; i < DISC_COUNT; ++i)
            g_game.discValue[i] = -100000;  // out of every band for the whole run
        g_game.discTarget[0] = 40;
        g_game.discValue[0] = 40 + c.progressVsTarget;
        JudgeClick(window, 40, 170);
        EXPECT_EQ(BandOf(g_game.discValue[0]), c.shownAs);
        // The click's own paint, then tick and paint until the disc burns again.
        int ticks = 0;
        for (Paint(); g_game.discValue[0] < 0 && ticks < 3000; Paint()) {
            AdvanceGame(window);
            ++ticks;
        }
        EXPECT_EQ(g_game.successCount, c.successes);
        EXPECT_EQ(g_game.failureCount, c.failures);
        EXPECT_LE(ticks, c.speed + 1);
    }
}

TEST_F(GameRules, TwoTicksWithoutAPaintSkipTheBandTop)
{
    g_game.discTarget[0] = g_game.discTarget[1] = g_game.discTarget[2] = 33;
    g_game.discValue[0] = -2;     // late, one short of its top
    g_game.discValue[1] = -1026;  // early
    g_game.discValue[2] = -2050;  // OK
    AdvanceGame(window);
    AdvanceGame(window);
    EXPECT_EQ(g_game.discValue[0], 0);  // burning again, with its old target
    EXPECT_EQ(g_game.discTarget[0], 33);
    EXPECT_EQ(BandOf(g_game.discValue[1]), BAND_LATE);
    EXPECT_EQ(BandOf(g_game.discValue[2]), BAND_EARLY);
    Paint();
    EXPECT_EQ(g_game.successCount + g_game.failureCount, 0);
}

TEST(DiscBands, BoundariesOfTheEncoding)
{
    struct Case {
        int value;
        DiscBand band;
    };
    const Case cases[] = {{74, BAND_BURNING}, {0, BAND_BURNING},  {-1, BAND_LATE},
                          {-1024, BAND_LATE}, {-1025, BAND_EARLY}, {-2048, BAND_EARLY},
                          {-2049, BAND_OK},   {-3072, BAND_OK},    {-3073, BAND_NONE}};
    for (const Case& c : cases)
        EXPECT_EQ(BandOf(c.value), c.band) << c.value;
}

}  // namespace
