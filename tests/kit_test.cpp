// The drawing kit: the colour ramp and the three primitives.
#include <gtest/gtest.h>

#include <functional>

#include "gdi/gdi.h"
#include "gfx/gfx.h"
#include "game/game.h"
#include "snapshot.h"

namespace {

constexpr uint32_t kBackground = 0x123456;

TEST(ColourRamp, RunsFromBlueThroughCyanGreenYellowAndRedToBlack)
{
    struct Case {
        int index;
        COLORREF colour;
    } cases[] = {
        {0, 0x00FF0000},  {7, RGB(0, 0x77, 0xFF)}, {15, RGB(0, 0xFF, 0xFF)},
        {30, RGB(0, 0xFF, 0)}, {45, RGB(0xFF, 0xFF, 0)}, {60, 0x000000FF},
        {65, RGB(0xAA, 0, 0)}, {74, RGB(0x11, 0, 0)}, {75, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColourRamp[c.index], c.colour) << c.index;
    // Every step moves exactly one channel by 0x11.
    for (int i = 0; i + 1 < RAMP_SIZE; ++i) {
        int moved = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int d = static_cast<int>((ColourRamp[i + 1] >> shift) & 0xFF) -
                          static_cast<int>((ColourRamp[i] >> shift) & 0xFF);
            if (d != 0) {
                EXPECT_EQ(std::abs(d), 0x11) << i;
                ++moved;
            }
        }
        EXPECT_EQ(moved, 1) << i;
    }
}

class Kit : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hInst = reinterpret_cast<HINSTANCE>(0x400000);
        LoadGraphics();
        surface.Resize(120, 80, kBackground);
        dc = GdiOpenSurfaceDC(&surface, RECT{0, 0, 120, 80});
    }
    void TearDown() override
    {
        SaveSnapshotOnFailure(surface);
        GdiCloseDC(dc);
        FreeGraphics();
    }
    RECT Changed() const
    {
        RECT r{surface.width, surface.height, 0, 0};
        for (int y = 0; y < surface.height; ++y)
            for (int x = 0; x < surface.width; ++x)
                if (surface.At(x, y) != kBackground) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }

    Surface surface;
    HDC dc = nullptr;
};

TEST_F(Kit, DrawBitmapAtCoversTheBitmapAtItsNaturalSize)
{
    struct Case {
        HBITMAP* bitmap;
        int w, h;
    } cases[] = {{&g_bmpFlameA, 32, 16}, {&g_bmpFlameB, 32, 16}, {&g_bmpMarkOn, 24, 24}};
    for (const Case& c : cases) {
        surface.pixels.assign(surface.pixels.size(), kBackground);
        DrawBitmapAt(dc, *c.bitmap, 10, 20);
        const RECT r = Changed();
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 20);
        EXPECT_EQ(r.right, 10 + c.w);
        EXPECT_EQ(r.bottom, 20 + c.h);
    }
    surface.pixels.assign(surface.pixels.size(), kBackground);
    DrawBitmapAt(dc, nullptr, 10, 20);  // a bitmap that failed to load draws nothing
    EXPECT_EQ(Changed().right, 0);
}

TEST_F(Kit, PrimitivesLeaveTheSelectionsAndTheObjectCountAsTheyFoundThem)
{
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    SelectObject(dc, GetStockObject(WHITE_PEN));
    SelectObject(dc, brush);
    SelectObject(dc, g_fontMedium);
    const std::function<void()> primitives[] = {
        [&] { DrawDisc(dc, 4, 4, 0); },
        [&] { DrawDisc(dc, 40, 4, 75); },
        [&] { DrawBitmapAt(dc, g_bmpFlameA, 4, 50); },
        [&] { DrawLabel(dc, 60, 40, "OK"); },
    };
    const size_t live = GdiLiveObjects();
    for (size_t i = 0; i < std::size(primitives); ++i) {
        primitives[i]();
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(WHITE_PEN)) << i;
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush) << i;
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), g_fontMedium) << i;
        EXPECT_EQ(GdiLiveObjects(), live) << i;
    }
    // And they drew: a blue disc, a black one around white holes, the text's white cell.
    EXPECT_EQ(surface.At(4 + 5, 4 + 16), 0x0000FFu);
    EXPECT_EQ(surface.At(40 + 5, 4 + 16), 0u);
    EXPECT_EQ(surface.At(4 + 15, 4 + 15), 0xFFFFFFu);
    EXPECT_EQ(surface.At(40 + 15, 4 + 15), 0xFFFFFFu);
    EXPECT_EQ(surface.At(60, 40), 0xFFFFFFu);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}

}  // namespace
