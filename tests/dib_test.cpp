// BMP and ICO data, and LoadBitmapA / LoadIconA over a registered resource table.
#include <gtest/gtest.h>

#include <vector>

#include "gdi/dib.h"
#include "gdi/gdi.h"
#include "user/resource.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v)
{
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A BITMAPINFOHEADER, its palette and rows: pixels[y][x] are palette indexes, or 0xRRGGBB for
// 24 and 32 bits. Rows are stored bottom-up unless topDown.
Bytes Dib(int bits, const std::vector<uint32_t>& palette,
          const std::vector<std::vector<uint32_t>>& pixels, bool topDown = false, int heightFactor = 1)
{
    const int h = static_cast<int>(pixels.size()), w = static_cast<int>(pixels[0].size());
    Bytes b;
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(topDown ? -h : h * heightFactor));
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(bits));
    for (int i = 0; i < 6; ++i)
        Put32(b, i == 4 ? static_cast<uint32_t>(palette.size()) : 0);
    for (uint32_t c : palette)
        Put32(b, c);
    for (int r = 0; r < h; ++r) {
        const auto& row = pixels[static_cast<size_t>(topDown ? r : h - 1 - r)];
        Bytes line;
        uint32_t acc = 0;
        int n = 0;
        for (uint32_t p : row) {
            if (bits >= 24) {
                for (int k = 0; k < bits / 8; ++k)
                    line.push_back(k < 3 ? (p >> (8 * k)) & 0xFF : 0);
                continue;
            }
            acc = (acc << bits) | p;
            n += bits;
            if (n == 8) {
                line.push_back(static_cast<uint8_t>(acc));
                acc = 0;
                n = 0;
            }
        }
        if (n)
            line.push_back(static_cast<uint8_t>(acc << (8 - n)));
        while (line.size() % 4)
            line.push_back(0);
        b.insert(b.end(), line.begin(), line.end());
    }
    return b;
}

Bytes BmpFile(const Bytes& dib, size_t paletteBytes)
{
    Bytes b = {'B', 'M'};
    Put32(b, static_cast<uint32_t>(14 + dib.size()));
    Put32(b, 0);
    Put32(b, static_cast<uint32_t>(14 + 40 + paletteBytes));
    b.insert(b.end(), dib.begin(), dib.end());
    return b;
}

const std::vector<uint32_t> kPalette = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF};
const std::vector<std::vector<uint32_t>> kIndexes = {{0, 1, 2}, {3, 2, 1}};
const std::vector<uint32_t> kExpected = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x00FF00, 0xFF0000};

TEST(Bmp, DecodesEveryDepthBothRowOrders)
{
    const std::vector<std::vector<uint32_t>> rgb = {{0xFFFFFF, 0xFF0000, 0x00FF00},
                                                    {0x0000FF, 0x00FF00, 0xFF0000}};
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"4-bit", BmpFile(Dib(4, kPalette, kIndexes), 16)},
        {"8-bit top-down", BmpFile(Dib(8, kPalette, kIndexes, true), 16)},
        {"1-bit", BmpFile(Dib(1, {0xFF0000, 0x0000FF}, {{0, 1, 1}, {0, 0, 1}}), 8)},
        {"24-bit", BmpFile(Dib(24, {}, rgb), 0)},
        {"32-bit", BmpFile(Dib(32, {}, rgb), 0)},
    };
    for (const Case& c : cases) {
        Surface s;
        ASSERT_TRUE(DecodeBmpFile(c.file.data(), c.file.size(), &s)) << c.name;
        EXPECT_EQ(s.width, 3) << c.name;
        EXPECT_EQ(s.height, 2) << c.name;
        if (std::string(c.name) == "1-bit")
            EXPECT_EQ(s.pixels, (std::vector<uint32_t>{0xFF0000, 0x0000FF, 0x0000FF, 0xFF0000,
                                                       0xFF0000, 0x0000FF}));
        else
            EXPECT_EQ(s.pixels, kExpected) << c.name;
    }
}

TEST(Bmp, RefusesMalformedDataWithoutReadingPastIt)
{
    const Bytes good = BmpFile(Dib(4, kPalette, kIndexes), 16);
    Surface s;
    for (size_t n = 0; n < good.size(); ++n) {
        const Bytes cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(n));
        EXPECT_FALSE(DecodeBmpFile(cut.data(), cut.size(), &s)) << n;  // exact size: no slack
    }
    struct Corruption {
        const char* what;
        size_t offset;
        uint32_t value;
        int bytes;
    } cases[] = {
        {"signature", 0, 'X', 1},          {"pixel offset", 10, 0xFFFFFF, 4},
        {"header size", 14, 0xFFFF, 4},     {"width", 18, 0, 4},
        {"huge width", 18, 0x7FFFFFFF, 4},  {"most negative height", 22, 0x80000000, 4},
        {"planes", 26, 2, 2},              {"bit count", 28, 5, 2},
        {"compression", 30, 1, 4},         {"palette size", 46, 300, 4},
        {"index past the palette", 14 + 40 + 16, 0x99, 1},
    };
    for (const Corruption& c : cases) {
        Bytes bad = good;
        for (int k = 0; k < c.bytes; ++k)
            bad[c.offset + static_cast<size_t>(k)] = static_cast<uint8_t>(c.value >> (8 * k));
        if (std::string(c.what) == "index past the palette")
            bad[46] = 4;  // four colours, then an index 9
        EXPECT_FALSE(DecodeBmpFile(bad.data(), bad.size(), &s)) << c.what;
    }
}

Bytes IcoFile(const std::vector<Bytes>& images, const std::vector<int>& sizes)
{
    Bytes b;
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        b.push_back(static_cast<uint8_t>(sizes[i]));
        b.push_back(static_cast<uint8_t>(sizes[i]));
        b.push_back(16);
        b.push_back(0);
        Put16(b, 1);
        Put16(b, 4);
        Put32(b, static_cast<uint32_t>(images[i].size()));
        Put32(b, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const Bytes& image : images)
        b.insert(b.end(), image.begin(), image.end());
    return b;
}

// An icon image: 4-bit colours, then the AND mask (1: transparent) as a second 1-bit DIB.
Bytes IconImage(int size, uint32_t colour)
{
    std::vector<std::vector<uint32_t>> indexes(static_cast<size_t>(size),
                                               std::vector<uint32_t>(static_cast<size_t>(size), 1));
    std::vector<std::vector<uint32_t>> mask(static_cast<size_t>(size),
                                            std::vector<uint32_t>(static_cast<size_t>(size), 0));
    mask[0][0] = 1;  // the top-left corner shows through
    Bytes b = Dib(4, {0x000000, colour}, indexes, false, 2);
    const Bytes m = Dib(1, {}, mask);
    b.insert(b.end(), m.begin() + 40, m.end());
    return b;
}

const Bytes kIcon = IcoFile({IconImage(32, 0xFF0000), IconImage(16, 0x0000FF)}, {32, 16});

TEST(Ico, DecodesEachImageWithItsMaskAsAlpha)
{
    std::vector<Surface> images;
    ASSERT_TRUE(DecodeIcoFile(kIcon.data(), kIcon.size(), &images));
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].width, 32);
    EXPECT_EQ(images[1].height, 16);
    EXPECT_EQ(images[0].At(0, 0), 0u);  // transparent
    EXPECT_EQ(images[0].At(1, 0), 0xFFFF0000u);
    EXPECT_EQ(images[1].At(15, 15), 0xFF0000FFu);
    for (size_t n = 0; n < kIcon.size(); ++n)
        EXPECT_FALSE(DecodeIcoFile(kIcon.data(), n, &images)) << n;
}

constexpr int kTestBitmap = 9001, kTestIcon = 9002, kBrokenBitmap = 9003;
const Bytes kBitmapFile = BmpFile(Dib(4, kPalette, kIndexes), 16);
const Bytes kBroken(kBitmapFile.begin(), kBitmapFile.begin() + 60);
const ProgramResource kTable[] = {
    {kResourceBitmap, kTestBitmap, kBitmapFile.data(), kBitmapFile.size()},
    {kResourceIcon, kTestIcon, kIcon.data(), kIcon.size()},
    {kResourceBitmap, kBrokenBitmap, kBroken.data(), kBroken.size()},
};
const HINSTANCE kModule = reinterpret_cast<HINSTANCE>(0x400000);

class Resources : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterProgramResources(kTable, 3); }
};

TEST_F(Resources, LoadBitmapAMakesABitmapOfTheResourceAndNothingOfWhatIsNotThere)
{
    const size_t live = GdiLiveObjects();
    HBITMAP bitmap = LoadBitmapA(kModule, MAKEINTRESOURCEA(kTestBitmap));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(GdiLiveObjects(), live + 1);
    EXPECT_EQ(GdiFindObject(bitmap)->bitmap->pixels, kExpected);
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    EXPECT_TRUE(DeleteObject(bitmap));

    EXPECT_EQ(LoadBitmapA(kModule, MAKEINTRESOURCEA(kTestIcon)), nullptr);  // wrong kind
    EXPECT_EQ(LoadBitmapA(kModule, MAKEINTRESOURCEA(kBrokenBitmap)), nullptr);
    EXPECT_EQ(LoadBitmapA(kModule, MAKEINTRESOURCEA(4242)), nullptr);
    EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(kTestBitmap)), nullptr);  // system's
    EXPECT_EQ(LoadBitmapA(kModule, "NAMED"), nullptr);
    EXPECT_EQ(GdiLiveObjects(), live);
}

TEST_F(Resources, LoadIconAGivesOneSharedIconWhosePixelsABackendCanRead)
{
    HICON icon = LoadIconA(kModule, MAKEINTRESOURCEA(kTestIcon));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconA(kModule, MAKEINTRESOURCEA(kTestIcon)), icon);
    struct Case {
        int asked, got;
    } cases[] = {{0, 32}, {32, 32}, {48, 32}, {16, 16}, {20, 16}};
    for (const Case& c : cases) {
        const Surface* image = IconImage(icon, c.asked);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, c.got) << c.asked;
    }
    EXPECT_EQ(LoadIconA(kModule, MAKEINTRESOURCEA(kTestBitmap)), nullptr);
    HICON stock = LoadIconA(nullptr, IDI_APPLICATION);
    EXPECT_NE(stock, nullptr);
    EXPECT_EQ(IconImage(stock, 32), nullptr);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(kTestIcon)), nullptr);
}

}  // namespace
