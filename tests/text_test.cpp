// Text: code page 932, the faces fontconfig finds for Windows names, sizes and weights, and
// how TextOutA lays glyphs on their cell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gdi/cp932.h"
#include "gdi/fonts.h"
#include "snapshot.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kGrey = 0x808080;

// The Japanese face names as the program passes them, in code page 932.
const char* const kPGothic = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";
const char* const kGothic = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
const char* const kSo = "\x83\x5C";  // ソ: its second byte is a backslash

HFONT Font(int height, const char* face, int weight = FW_NORMAL)
{
    return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH, face);
}

struct Canvas {
    Surface surface;
    HDC dc = nullptr;
    Canvas(int w, int h, uint32_t fill)
    {
        surface.Resize(w, h, fill);
        dc = GdiOpenSurfaceDC(&surface, RECT{0, 0, w, h});
    }
    ~Canvas()
    {
        SaveSnapshotOnFailure(surface);
        GdiCloseDC(dc);
    }
    // The bounding box of the pixels that are no longer `fill`; empty when none changed.
    RECT Changed(uint32_t fill) const
    {
        RECT r{surface.width, surface.height, 0, 0};
        for (int y = 0; y < surface.height; ++y)
            for (int x = 0; x < surface.width; ++x)
                if (surface.At(x, y) != fill) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }
    int Dark() const
    {
        int n = 0;
        for (uint32_t p : surface.pixels)
            n += (p & 0xFF) < 0x40;
        return n;
    }
};

class Text : public ::testing::Test {
protected:
    void TearDown() override
    {
        GdiSetFontDirs(nullptr);
        for (HFONT f : fonts)
            DeleteObject(f);
    }
    HFONT Keep(HFONT f)
    {
        fonts.push_back(f);
        return f;
    }
    std::vector<HFONT> fonts;
};

TEST(Cp932, DecodesWindowsBytesThatShiftJisWouldNot)
{
    struct Case {
        const char* bytes;
        std::u32string text;
    } cases[] = {
        {"\x83\x5C", U"ソ"},           {"\\~", U"\\~"},  // backslash and tilde stay ASCII
        {"A\x82\xA0", U"Aあ"},         {"\xB1", U"ｱ"},   // half-width katakana
        {"\x87\x40", U"①"},            {"\x81\x60", U"\uFF5E"},  // NEC row 13, wave dash
        {"\xFA\x40", U"\u2170"},       {"\x81\xA9\x8C\xA9\x96\x7B", U"←見本"},
        {"x\x83", U"x?"},              {"\xA0z", U"?z"},  // a cut-off lead byte, a stray byte
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeCp932(c.bytes, strlen(c.bytes)), c.text) << c.bytes;
    EXPECT_EQ(Cp932ToUtf8(kPGothic, strlen(kPGothic)), "ＭＳ Ｐゴシック");
}

TEST_F(Text, WindowsFaceNamesFindTheirStandInsAndUnknownNamesAJapaneseFace)
{
    struct Case {
        const char* face;
        std::vector<std::string> families;
    } cases[] = {
        {kPGothic, {"IPAPGothic"}},
        {kGothic, {"IPAGothic"}},
        {"MS PGothic", {"IPAPGothic"}},
        {"No Such Face 123", {"IPAPGothic", "IPAGothic"}},
        {"", {"IPAPGothic", "IPAGothic"}},
    };
    for (const Case& c : cases) {
        const std::string family = GdiRealizeFont(Keep(Font(30, c.face)))->choice.family;
        EXPECT_NE(std::find(c.families.begin(), c.families.end(), family), c.families.end())
            << c.face << " found " << family;
    }
    const RealFont* gui = GdiRealizeFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    EXPECT_EQ(gui->choice.family, "IPAPGothic");
    EXPECT_EQ(gui->ppem, 12);
}

TEST_F(Text, HeightIsTheCellFromTheWinMetricsOrMinusTheEmSize)
{
    struct Case {
        int height, ppem, cell;
    } cases[] = {{30, 28, 30}, {50, 46, 50}, {12, 11, 12}, {-28, 28, 30}, {-12, 12, 13}};
    for (const Case& c : cases) {
        const RealFont* f = GdiRealizeFont(Keep(Font(c.height, kPGothic)));
        EXPECT_EQ(f->ppem, c.ppem) << c.height;
        EXPECT_EQ(f->Height(), c.cell) << c.height;
    }
    // Absurd heights are drawn at a size that still fits in memory.
    EXPECT_LE(GdiRealizeFont(Keep(Font(-2000000000, kPGothic)))->ppem, 1024);
}

TEST_F(Text, TextSitsOnAnOpaqueCellAtItsTopLeftCorner)
{
    Canvas c(200, 80, kGrey);
    SelectObject(c.dc, Keep(Font(30, kPGothic)));
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "OK", 2, &size));
    EXPECT_EQ(size.cy, 30);
    ASSERT_TRUE(TextOutA(c.dc, 10, 20, "OK", 2));
    const RECT changed = c.Changed(kGrey);
    EXPECT_EQ(changed.left, 10);
    EXPECT_EQ(changed.top, 20);
    EXPECT_EQ(changed.bottom, 20 + 30);
    EXPECT_LE(changed.right, 10 + size.cx + 2);  // a glyph may overhang its advance a little
    // The cell's corners: white inside, grey just outside where no ink reaches.
    EXPECT_EQ(c.surface.At(10, 20), kWhite);
    EXPECT_EQ(c.surface.At(10 + size.cx - 1, 49), kWhite);
    EXPECT_EQ(c.surface.At(10 + size.cx, 20), kGrey);
    EXPECT_EQ(c.surface.At(10 + size.cx, 49), kGrey);
    // Black ink, anti-aliased: some pixels between black and white.
    int black = 0, between = 0;
    for (uint32_t p : c.surface.pixels) {
        black += p == 0;
        between += p != 0 && p != kWhite && p != kGrey;
    }
    EXPECT_GT(black, 20);
    EXPECT_GT(between, 20);

    // Transparent: the ink alone, in the text colour.
    Canvas t(200, 80, kGrey);
    SelectObject(t.dc, Keep(Font(30, kPGothic)));
    SetBkMode(t.dc, TRANSPARENT);
    SetTextColor(t.dc, RGB(255, 0, 0));
    TextOutA(t.dc, 10, 20, "OK", 2);
    int red = 0, white = 0;
    for (uint32_t p : t.surface.pixels) {
        red += p == 0xFF0000;
        white += p == kWhite;
    }
    EXPECT_GT(red, 20);
    EXPECT_EQ(white, 0);
}

TEST_F(Text, ADoubleByteCharacterWithABackslashDrawsAsItsOwnGlyph)
{
    Canvas c(100, 60, kWhite);
    HFONT font = Keep(Font(30, kPGothic));
    SelectObject(c.dc, font);
    TextOutA(c.dc, 5, 5, kSo, 2);
    // Exactly the glyph of ソ, on the baseline at the font's ascent below the cell's top.
    RealFont* f = GdiRealizeFont(font);
    const Glyph& g = f->GlyphFor(U'ソ');
    ASSERT_GT(g.width, 10);
    int ink = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x) {
            const int gx = x - 5 - g.left, gy = y - (5 + f->ascent - g.top);
            const int a = gx >= 0 && gy >= 0 && gx < g.width && gy < g.height
                              ? g.coverage[static_cast<size_t>(gy) * g.width + gx]
                              : 0;
            const uint32_t v = 255 - static_cast<uint32_t>(a);
            ASSERT_EQ(c.surface.At(x, y), (v << 16) | (v << 8) | v) << x << "," << y;
            ink += a > 0;
        }
    EXPECT_GT(ink, 30);
    SIZE one{}, two{};
    GetTextExtentPoint32A(c.dc, kSo, 2, &one);
    GetTextExtentPoint32A(c.dc, "\x83\x5C\x5C", 3, &two);  // ソ and a backslash
    EXPECT_EQ(one.cx, g.advance);
    EXPECT_GT(two.cx, one.cx);
}

TEST_F(Text, HeavyWeightIsEmboldenedWhenTheFaceHasNone)
{
    Canvas normal(200, 60, kWhite), heavy(200, 60, kWhite);
    SelectObject(normal.dc, Keep(Font(30, kPGothic, FW_NORMAL)));
    SelectObject(heavy.dc, Keep(Font(30, kPGothic, 956)));
    SIZE a{}, b{};
    GetTextExtentPoint32A(normal.dc, "OK", 2, &a);
    GetTextExtentPoint32A(heavy.dc, "OK", 2, &b);
    EXPECT_GE(b.cx, a.cx + 2 * 2);  // each glyph widened by its extra stroke
    TextOutA(normal.dc, 0, 0, "OK", 2);
    TextOutA(heavy.dc, 0, 0, "OK", 2);
    EXPECT_GT(heavy.Dark(), normal.Dark() * 5 / 4);
}

TEST_F(Text, TextStillDrawsWhenNoJapaneseFaceOrNoFaceAtAllIsInstalled)
{
    // A system with one Latin face, and one with none at all.
    const std::string latinDir = std::string(TEST_OUTPUT_DIR) + "/latin-fonts";
    std::filesystem::create_directories(latinDir);
    std::filesystem::remove(latinDir + "/face.ttf");
    std::filesystem::create_symlink("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                    latinDir + "/face.ttf");
    const std::vector<std::string> latinOnly = {latinDir};
    const std::vector<std::string> none = {"/nonexistent-font-dir"};
    for (const auto* dirs : {&latinOnly, &none}) {
        testing::internal::CaptureStderr();
        GdiSetFontDirs(dirs);
        Canvas c(200, 60, kWhite);
        SelectObject(c.dc, Keep(Font(30, kPGothic)));
        TextOutA(c.dc, 0, 0, kSo, 2);
        TextOutA(c.dc, 60, 0, "OK", 2);
        SelectObject(c.dc, Keep(Font(12, kPGothic)));
        TextOutA(c.dc, 0, 40, "OK", 2);
        EXPECT_GT(c.Dark(), 20) << dirs->front();
        EXPECT_EQ(GdiRealizeFont(fonts[fonts.size() - 2])->choice.file.empty(), dirs == &none);
        // Said once, however many fonts miss it (a bare test configuration of fontconfig
        // may add its own complaint about caches).
        const std::string said = testing::internal::GetCapturedStderr();
        const std::string line = "No Japanese font found: the texts show as boxes.\n";
        const size_t at = said.find(line);
        EXPECT_NE(at, std::string::npos) << said;
        EXPECT_EQ(said.find(line, at + 1), std::string::npos) << said;
    }
    // The system's own faces draw Japanese, and nothing is said.
    testing::internal::CaptureStderr();
    GdiSetFontDirs(nullptr);
    Canvas c(200, 60, kWhite);
    SelectObject(c.dc, Keep(Font(30, kPGothic)));
    TextOutA(c.dc, 0, 0, kSo, 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Text, GlyphsAreRasterisedOncePerFont)
{
    Canvas c(300, 40, kWhite);
    SelectObject(c.dc, Keep(Font(-17, kPGothic)));
    TextOutA(c.dc, 0, 0, "Glyph cache", 11);
    const size_t rendered = GdiGlyphsRendered();
    TextOutA(c.dc, 0, 0, "Glyph cache", 11);
    HFONT again = Keep(Font(-17, kPGothic));  // a new font object asking the same
    SelectObject(c.dc, again);
    TextOutA(c.dc, 0, 0, "cache", 5);
    EXPECT_EQ(GdiGlyphsRendered(), rendered);
}

TEST_F(Text, BadArgumentsAreRefusedAndAStaleFontFallsBackToTheSystemFont)
{
    Canvas c(100, 40, kWhite);
    EXPECT_FALSE(TextOutA(c.dc, 0, 0, nullptr, 3));
    EXPECT_FALSE(TextOutA(c.dc, 0, 0, "x", -1));
    EXPECT_FALSE(TextOutA(reinterpret_cast<HDC>(0x7777), 0, 0, "x", 1));
    EXPECT_TRUE(TextOutA(c.dc, 0, 0, "", 0));
    HFONT font = Font(20, kPGothic);
    SelectObject(c.dc, font);
    DeleteObject(font);
    EXPECT_TRUE(TextOutA(c.dc, 0, 0, "OK", 2));
    EXPECT_GT(c.Dark(), 10);
}

}  // namespace
