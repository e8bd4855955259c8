// The program's art as the Linux build compiles it in, and the resource script made from the
// same list.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "gdi/gdi.h"
#include "res/resource.h"
#include "snapshot.h"
#include "user/resource.h"

namespace {

const HINSTANCE kModule = reinterpret_cast<HINSTANCE>(0x400000);
constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kGrey = 0xC0C0C0, kOrange = 0xFF9933,
                   kYellow = 0xFFFF00;

Surface Pixels(int id)
{
    HBITMAP b = LoadBitmapA(kModule, MAKEINTRESOURCEA(id));
    EXPECT_NE(b, nullptr) << id;
    Surface s = b ? *GdiFindObject(b)->bitmap : Surface{};
    DeleteObject(b);
    return s;
}

uint32_t U16(const unsigned char* p) { return p[0] | (p[1] << 8); }

TEST(Art, BitmapsHaveTheirSizeDepthAndColours)
{
    struct Case {
        int id, w, h, bits;
        std::set<uint32_t> colours;
    } cases[] = {
        {IDB_MARK_OFF, 24, 24, 4, {kWhite, kGrey}},
        {IDB_MARK_ON, 24, 24, 4, {kWhite, kRed}},
        {IDB_FLAME_A, 32, 16, 8, {kWhite, kRed, kOrange, kYellow}},
        {IDB_FLAME_B, 32, 16, 8, {kWhite, kRed, kOrange, kYellow}},
    };
    for (const Case& c : cases) {
        const ProgramResource* r = FindProgramResource(kResourceBitmap, c.id);
        ASSERT_NE(r, nullptr) << c.id;
        EXPECT_EQ(static_cast<int>(U16(r->data + 14 + 14)), c.bits) << c.id;
        const Surface s = Pixels(c.id);
        EXPECT_EQ(s.width, c.w) << c.id;
        EXPECT_EQ(s.height, c.h) << c.id;
        EXPECT_EQ(std::set<uint32_t>(s.pixels.begin(), s.pixels.end()), c.colours) << c.id;
    }
}

TEST(Art, MarksAreOneThickDiagonalCrossGreyWhenEmptyAndRedWhenUsed)
{
    const Surface off = Pixels(IDB_MARK_OFF), on = Pixels(IDB_MARK_ON);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const bool drawn = off.At(x, y) == kGrey;
            EXPECT_EQ(on.At(x, y), drawn ? kRed : kWhite) << x << "," << y;
            EXPECT_EQ(off.At(23 - x, y), off.At(x, y)) << x << "," << y;
            EXPECT_EQ(off.At(y, x), off.At(x, y)) << x << "," << y;
        }
    for (int p : {3, 11, 12, 20}) {  // along both diagonals, end to end
        EXPECT_EQ(off.At(p, p), kGrey) << p;
        EXPECT_EQ(off.At(23 - p, p), kGrey) << p;
    }
    // The middle of each edge and the corners stay white.
    for (const auto& [x, y] : {std::pair{12, 0}, {0, 12}, {23, 12}, {12, 23}, {0, 0}, {23, 23}})
        EXPECT_EQ(off.At(x, y), kWhite) << x << "," << y;
    // About five pixels thick: a 45-degree stroke crosses a row over thickness x sqrt(2).
    int run = 0;
    for (int x = 0; x < 12; ++x)
        run += off.At(x, 6) == kGrey;
    EXPECT_GE(run, 6);
    EXPECT_LE(run, 8);
}

// The highest row with fire in each of the five tongues' columns, counted from the bottom.
std::vector<int> TongueHeights(const Surface& s)
{
    const int zones[6] = {0, 7, 13, 20, 26, 32};
    std::vector<int> heights;
    for (int z = 0; z < 5; ++z) {
        int top = 16;
        for (int y = 15; y >= 0; --y)
            for (int x = zones[z]; x < zones[z + 1]; ++x)
                if (s.At(x, y) != kWhite)
                    top = y;
        heights.push_back(16 - top);
    }
    return heights;
}

TEST(Art, FlameFramesSwapTallAndShortTonguesAndTileIntoOneBand)
{
    const Surface a = Pixels(IDB_FLAME_A), b = Pixels(IDB_FLAME_B);
    const std::vector<int> ha = TongueHeights(a), hb = TongueHeights(b);
    for (int z = 0; z < 5; ++z) {
        const bool aTall = z % 2 == 0;  // left, centre and right
        EXPECT_GE(aTall ? ha[z] : hb[z], 13) << z;
        EXPECT_LE(aTall ? hb[z] : ha[z], 10) << z;
    }
    for (int x = 0; x < 32; ++x)
        EXPECT_EQ(a.At(x, 15), b.At(x, 15)) << x;
    // The band B A B A ...: fire without a gap along its foot.
    for (int k = 0; k < 16; ++k)
        for (int y = 13; y < 16; ++y)
            for (int x = 0; x < 32; ++x)
                EXPECT_NE((k % 2 ? a : b).At(x, y), kWhite) << k << ":" << x << "," << y;
    // Layers: red, orange and yellow, around white cores: white that no path of white
    // pixels joins to the edge of the tile.
    for (const Surface* s : {&a, &b}) {
        std::vector<bool> outside(s->pixels.size(), false);
        std::vector<std::pair<int, int>> todo;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x)
                if ((x == 0 || y == 0 || x == 31 || y == 15) && s->At(x, y) == kWhite)
                    todo.push_back({x, y});
        while (!todo.empty()) {
            const auto [x, y] = todo.back();
            todo.pop_back();
            if (x < 0 || y < 0 || x >= 32 || y >= 16 || s->At(x, y) != kWhite ||
                outside[static_cast<size_t>(y * 32 + x)])
                continue;
            outside[static_cast<size_t>(y * 32 + x)] = true;
            todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
        }
        int core = 0;
        for (size_t i = 0; i < s->pixels.size(); ++i)
            core += s->pixels[i] == kWhite && !outside[i];
        EXPECT_GT(core, 0);
    }
}

TEST(Art, TheIconHas32And16PixelImagesIn16ColoursWithTransparentCorners)
{
    const ProgramResource* r = FindProgramResource(kResourceIcon, IDI_APP);
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(U16(r->data + 4), 2u);
    for (int i = 0; i < 2; ++i) {
        const unsigned char* entry = r->data + 6 + 16 * i;
        EXPECT_EQ(entry[0], i == 0 ? 32 : 16);
        EXPECT_EQ(U16(entry + 6), 4u);  // bits per pixel
    }
    HICON icon = LoadIconA(kModule, MAKEINTRESOURCEA(IDI_APP));
    for (int size : {32, 16}) {
        const Surface* image = IconImage(icon, size);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, size);
        EXPECT_EQ(image->At(0, 0) >> 24, 0u);
        EXPECT_EQ(image->At(size - 1, size - 1) >> 24, 0u);
        EXPECT_EQ(image->At(size / 2, size / 2) >> 24, 0xFFu);
        EXPECT_LE(std::set<uint32_t>(image->pixels.begin(), image->pixels.end()).size(), 17u);
    }
}

TEST(Art, TheResourceScriptListsEveryResourceUnderTheJapaneseLanguage)
{
    std::ifstream in(RES_BUILD_DIR "/discfire.rc");
    ASSERT_TRUE(in);
    std::stringstream text;
    text << in.rdbuf();
    const std::string rc = text.str();
    for (const char* line :
         {"#include \"resource.h\"", "LANGUAGE LANG_JAPANESE, SUBLANG_DEFAULT",
          "IDI_APP ICON \"app.ico\"", "IDB_MARK_OFF BITMAP \"mark_off.bmp\"",
          "IDB_MARK_ON BITMAP \"mark_on.bmp\"", "IDB_FLAME_A BITMAP \"flame_a.bmp\"",
          "IDB_FLAME_B BITMAP \"flame_b.bmp\""})
        EXPECT_NE(rc.find(line), std::string::npos) << line;
    EXPECT_LT(rc.find("resource.h"), rc.find("LANGUAGE"));
}

}  // namespace
