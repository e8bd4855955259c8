// Device contexts, objects, Ellipse, BitBlt and PNG output.
#include <gtest/gtest.h>
#include <png.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "gdi/gdi.h"
#include "gdi/png.h"
#include "snapshot.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0, kRed = 0xFF0000;

// A DC over a surface of its own, as BeginPaint hands out.
struct Canvas {
    Surface surface;
    HDC dc = nullptr;
    Canvas(int w, int h, uint32_t fill = kWhite)
    {
        surface.Resize(w, h, fill);
        dc = GdiOpenSurfaceDC(&surface, RECT{0, 0, w, h});
    }
    ~Canvas() { GdiCloseDC(dc); }
};

TEST(DeviceContext, StartsWithTheDefaultsAndSelectObjectReturnsWhatItDisplaced)
{
    Canvas window(4, 4);
    HDC memory = CreateCompatibleDC(window.dc);
    for (HDC dc : {window.dc, memory}) {
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
        EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
        EXPECT_EQ(SetBkColor(dc, RGB(1, 2, 3)), RGB(255, 255, 255));
        EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    }
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HFONT font = CreateFontA(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "x");
    struct Case {
        HGDIOBJ object;
        UINT kind;
    } cases[] = {{GetStockObject(NULL_PEN), OBJ_PEN}, {brush, OBJ_BRUSH}, {font, OBJ_FONT}};
    for (const Case& c : cases) {
        HGDIOBJ before = GetCurrentObject(window.dc, c.kind);
        EXPECT_EQ(SelectObject(window.dc, c.object), before);
        EXPECT_EQ(SelectObject(window.dc, before), c.object);
    }
    EXPECT_EQ(SelectObject(window.dc, reinterpret_cast<HGDIOBJ>(0x7777)), nullptr);
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(0x7777), brush), nullptr);
    DeleteObject(brush);
    DeleteObject(font);
    DeleteDC(memory);
}

TEST(DeviceContext, ABitmapLivesInOneMemoryDcAndDeleteDcLetsItGo)
{
    const size_t live = GdiLiveObjects();
    Surface pixels;
    pixels.Resize(3, 2, kRed);
    HBITMAP bitmap = GdiCreateBitmap(pixels);
    Canvas window(4, 4);
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(a);
    EXPECT_EQ(GdiLiveObjects(), live + 4);

    EXPECT_EQ(SelectObject(window.dc, bitmap), nullptr);  // not into a window DC
    HGDIOBJ initial = SelectObject(a, bitmap);
    EXPECT_NE(initial, nullptr);
    EXPECT_EQ(GetCurrentObject(a, OBJ_BITMAP), bitmap);
    EXPECT_EQ(SelectObject(b, bitmap), nullptr);  // already held by a
    EXPECT_FALSE(DeleteObject(bitmap));           // still selected

    BITMAP bm{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    EXPECT_EQ(bm.bmPlanes, 1);
    EXPECT_EQ(GetObjectA(GetStockObject(WHITE_BRUSH), sizeof bm, &bm), 0);

    EXPECT_TRUE(DeleteDC(a));  // without selecting the bitmap out first
    EXPECT_NE(SelectObject(b, bitmap), nullptr);
    EXPECT_TRUE(DeleteDC(b));
    EXPECT_FALSE(DeleteDC(b));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));  // allowed, and does nothing
    EXPECT_NE(GetStockObject(BLACK_PEN), nullptr);
    EXPECT_EQ(GdiLiveObjects(), live + 1);  // the window DC
}

// Ellipse inside a box, drawn with a black pen and a red brush onto white. The pictures are
// what Wine's GDI draws for the same calls ('#' pen, 'b' brush): the outline is one pixel per
// column where the curve is flat and one per row where it is steep, so it is 8-connected.
struct EllipseCase {
    int w, h;
    std::vector<int> rowWidths;        // empty: not checked
    std::vector<std::string> picture;  // the box, row by row; empty: not checked
};

class EllipseShape : public ::testing::TestWithParam<EllipseCase> {};

TEST_P(EllipseShape, FillsTheBoxExactlyWithAOnePixelOutlineAndIsSymmetric)
{
    const EllipseCase c = GetParam();
    const int left = 5, top = 7;
    Canvas canvas(left + c.w + 5, top + c.h + 5);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(canvas.dc, red);
    ASSERT_TRUE(Ellipse(canvas.dc, left, top, left + c.w, top + c.h));
    SelectObject(canvas.dc, old);
    DeleteObject(red);

    const Surface& s = canvas.surface;
    auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < s.width && y < s.height && s.At(x, y) != kWhite;
    };
    std::vector<int> widths;
    for (int y = 0; y < s.height; ++y) {
        int width = 0;
        for (int x = 0; x < s.width; ++x) {
            const uint32_t p = s.At(x, y);
            if (p == kWhite)
                continue;
            ++width;
            EXPECT_TRUE(x >= left && x < left + c.w && y >= top && y < top + c.h) << x << "," << y;
            // Mirror images of every painted pixel are painted the same.
            EXPECT_EQ(s.At(2 * left + c.w - 1 - x, y), p) << x << "," << y;
            EXPECT_EQ(s.At(x, 2 * top + c.h - 1 - y), p) << x << "," << y;
            if (c.w == c.h) {
                EXPECT_EQ(s.At(left + (y - top), top + (x - left)), p) << x << "," << y;
            }
            // The outline closes the shape: no brush pixel touches the outside.
            const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) ||
                              !inside(x, y + 1);
            if (edge) {
                EXPECT_EQ(p, kBlack) << x << "," << y;
            }
            EXPECT_TRUE(p == kBlack || p == kRed) << x << "," << y;
        }
        if (width)
            widths.push_back(width);
    }
    // The box is touched on all four sides: right and bottom edges excluded, no more.
    EXPECT_EQ(static_cast<int>(widths.size()), c.h);
    EXPECT_TRUE(inside(left, top + c.h / 2) && inside(left + c.w - 1, top + c.h / 2));
    EXPECT_TRUE(inside(left + c.w / 2, top) && inside(left + c.w / 2, top + c.h - 1));
    if (!c.rowWidths.empty()) {
        EXPECT_EQ(widths, c.rowWidths);
    }
    for (size_t y = 0; y < c.picture.size(); ++y) {
        std::string row;
        for (int x = left; x < left + c.w; ++x) {
            const uint32_t p = s.At(x, top + static_cast<int>(y));
            row += p == kWhite ? '.' : p == kBlack ? '#' : 'b';
        }
        EXPECT_EQ(row, c.picture[y]) << "row " << y;
    }
    if (::testing::Test::HasFailure())
        SaveSnapshot(s, "ellipse_" + std::to_string(c.w) + "x" + std::to_string(c.h));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, EllipseShape,
    ::testing::Values(
        EllipseCase{32, 32, {8, 14, 16, 20, 22, 24, 26, 26, 28, 30, 30, 30, 32, 32, 32, 32,
                             32, 32, 32, 32, 30, 30, 30, 28, 26, 26, 24, 22, 20, 16, 14, 8}, {}},
        EllipseCase{10, 10, {4, 6, 8, 10, 10, 10, 10, 8, 6, 4}, {}},
        EllipseCase{7, 7, {3, 5, 7, 7, 7, 5, 3}, {}},
        EllipseCase{12, 12, {}, {"....####....", "..##bbbb##..", ".#bbbbbbbb#.", ".#bbbbbbbb#.",
                                 "#bbbbbbbbbb#", "#bbbbbbbbbb#", "#bbbbbbbbbb#", "#bbbbbbbbbb#",
                                 ".#bbbbbbbb#.", ".#bbbbbbbb#.", "..##bbbb##..", "....####...."}},
        EllipseCase{8, 8, {}, {"..####..", ".#bbbb#.", "#bbbbbb#", "#bbbbbb#", "#bbbbbb#",
                               "#bbbbbb#", ".#bbbb#.", "..####.."}},
        EllipseCase{21, 12, {}, {"......#########......", "....##bbbbbbbbb##....",
                                 "..##bbbbbbbbbbbbb##..", ".#bbbbbbbbbbbbbbbbb#.",
                                 "#bbbbbbbbbbbbbbbbbbb#", "#bbbbbbbbbbbbbbbbbbb#",
                                 "#bbbbbbbbbbbbbbbbbbb#", "#bbbbbbbbbbbbbbbbbbb#",
                                 ".#bbbbbbbbbbbbbbbbb#.", "..##bbbbbbbbbbbbb##..",
                                 "....##bbbbbbbbb##....", "......#########......"}},
        EllipseCase{1, 1, {1}, {}}, EllipseCase{2, 3, {2, 2, 2}, {"##", "##", "##"}}),
    [](const ::testing::TestParamInfo<EllipseCase>& p) {
        return std::to_string(p.param.w) + "x" + std::to_string(p.param.h);
    });

TEST(Ellipse, HollowPenOrBrushLeaveTheirPartUndrawnAndReversedBoxesAreNormalised)
{
    Canvas a(20, 20), b(20, 20), c(20, 20);
    SelectObject(a.dc, GetStockObject(BLACK_BRUSH));
    Ellipse(a.dc, 2, 2, 18, 18);
    SelectObject(b.dc, GetStockObject(NULL_PEN));
    SelectObject(b.dc, GetStockObject(BLACK_BRUSH));
    Ellipse(b.dc, 18, 18, 2, 2);
    EXPECT_EQ(a.surface.pixels, b.surface.pixels);  // the same shape, all black
    SelectObject(c.dc, GetStockObject(NULL_BRUSH));
    Ellipse(c.dc, 2, 2, 18, 18);
    EXPECT_EQ(c.surface.At(10, 10), kWhite);
    EXPECT_EQ(c.surface.At(2, 10), kBlack);
    EXPECT_TRUE(Ellipse(c.dc, 5, 5, 5, 9));  // empty box: nothing, and no error
}

TEST(Drawing, ExtremeCoordinatesDrawOnlyWhatLandsOnTheSurface)
{
    Canvas canvas(16, 16);
    SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    // A box a billion pixels across: its middle covers the whole surface, computed row by row
    // for the visible rows only.
    EXPECT_TRUE(Ellipse(canvas.dc, -1000000000, -1000000000, 1000000000, 1000000000));
    EXPECT_EQ(canvas.surface.At(0, 0), kBlack);
    EXPECT_EQ(canvas.surface.At(15, 15), kBlack);
    canvas.surface.Resize(16, 16, kWhite);
    EXPECT_TRUE(Ellipse(canvas.dc, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    EXPECT_EQ(canvas.surface.At(8, 8), kBlack);
    // Everything below lands off the surface.
    canvas.surface.Resize(16, 16, kWhite);
    EXPECT_TRUE(Ellipse(canvas.dc, INT32_MAX - 4, 0, INT32_MAX, 4));
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_TRUE(BitBlt(canvas.dc, INT32_MAX - 1, INT32_MAX - 1, INT32_MAX, INT32_MAX, memory,
                       INT32_MIN, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(canvas.dc, INT32_MIN, 0, INT32_MAX, 16, memory, INT32_MAX, 0, SRCCOPY));
    DeleteDC(memory);
    EXPECT_TRUE(TextOutA(canvas.dc, INT32_MAX - 3, INT32_MAX - 3, "OK", 2));
    EXPECT_TRUE(TextOutA(canvas.dc, INT32_MIN, 0, "OK", 2));
    EXPECT_EQ(canvas.surface.pixels, std::vector<uint32_t>(16 * 16, kWhite));
}

TEST(BitBlt, CopiesTheOverlapOfSourceDestinationAndClip)
{
    Surface pixels;
    pixels.Resize(6, 4, 0);
    for (size_t i = 0; i < pixels.pixels.size(); ++i)
        pixels.pixels[i] = 0x100 + static_cast<uint32_t>(i);
    HBITMAP bitmap = GdiCreateBitmap(pixels);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);

    struct Case {
        int x, y, w, h, sx, sy;
    } cases[] = {{1, 1, 6, 4, 0, 0},   {-2, -1, 6, 4, 0, 0}, {7, 5, 6, 4, 0, 0},
                 {0, 0, 10, 10, 2, 1}, {3, 2, 2, 2, -1, -1}, {0, 0, 0, 3, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h);
        Canvas canvas(10, 8, kWhite);
        canvas.surface.Resize(10, 8, kWhite);
        // A clip leaves out the last column, as a paint rectangle might.
        GdiFindDC(canvas.dc)->clip = RECT{0, 0, 9, 8};
        ASSERT_TRUE(BitBlt(canvas.dc, c.x, c.y, c.w, c.h, memory, c.sx, c.sy, SRCCOPY));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const int u = x - c.x + c.sx, v = y - c.y + c.sy;
                const bool copied = x < 9 && x >= c.x && x < c.x + c.w && y >= c.y &&
                                    y < c.y + c.h && u >= 0 && v >= 0 && u < 6 && v < 4;
                EXPECT_EQ(canvas.surface.At(x, y), copied ? pixels.At(u, v) : kWhite)
                    << x << "," << y;
            }
    }
    Canvas canvas(4, 4);
    EXPECT_FALSE(BitBlt(canvas.dc, 0, 0, 4, 4, memory, 0, 0, 0x00EE0086));  // only SRCCOPY
    EXPECT_EQ(canvas.surface.At(0, 0), kWhite);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

TEST(Png, WritesTheSurfaceAsRgbAndReportsAFileItCannotWrite)
{
    Surface s;
    s.Resize(3, 2, 0);
    s.pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000};
    const std::string path = SaveSnapshot(s, "png_round_trip");
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    for (size_t i = 0; i < s.pixels.size(); ++i)
        EXPECT_EQ((rgb[3 * i] << 16) | (rgb[3 * i + 1] << 8) | rgb[3 * i + 2], s.pixels[i]) << i;

    EXPECT_FALSE(WriteSurfacePng(s, "/nonexistent-dir/x.png"));
    EXPECT_FALSE(WriteSurfacePng(Surface{}, (path + ".empty").c_str()));
}

}  // namespace
