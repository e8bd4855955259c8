// The web build's code page 932 table (made from Python's codec) against glibc's converter,
// which the desktop builds decode with: the same characters for every byte and byte pair.
#include <gtest/gtest.h>

#include <string>

#include "gdi/cp932.h"

// glibc's, compiled from platform/gdi/cp932.cpp under these names.
std::u32string GlibcDecodeCp932(const char* text, size_t length);
std::string GlibcCp932ToUtf8(const char* text, size_t length);

namespace {

std::string Hex(const std::string& bytes)
{
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        snprintf(b, sizeof b, "%02X ", c);
        out += b;
    }
    return out;
}

TEST(Cp932Table, EveryByteAndEveryPairDecodeAsGlibcDecodesThem)
{
    int checked = 0;
    for (int first = 0; first < 256; ++first) {
        // A lone byte, then the byte before every possible second byte and an ASCII tail, so
        // that a bad pair also shows how decoding resumes after it.
        const std::string lone(1, static_cast<char>(first));
        ASSERT_EQ(DecodeCp932(lone.data(), lone.size()), GlibcDecodeCp932(lone.data(), lone.size()))
            << Hex(lone);
        for (int second = 0; second < 256; ++second) {
            const std::string s = {static_cast<char>(first), static_cast<char>(second), 'A'};
            ASSERT_EQ(DecodeCp932(s.data(), s.size()), GlibcDecodeCp932(s.data(), s.size())) << Hex(s);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 65536);
}

TEST(Cp932Table, WindowsMappingsThatShiftJisGetsWrong)
{
    struct Case {
        const char* bytes;
        const char* utf8;
    } const cases[] = {
        {"\x81\x60", "\xEF\xBD\x9E"},  // U+FF5E, where Shift_JIS has U+301C
        {"\x81\x7C", "\xEF\xBC\x8D"},  // U+FF0D, where Shift_JIS has U+2212
        {"\x5C", "\\"},                // not the yen sign
        {"\x87\x40", "\xE2\x91\xA0"},  // NEC row 13: circled one
        {"\xB1", "\xEF\xBD\xB1"},      // half-width katakana A
        {"\x82", "?"},                 // a lead byte cut off at the end
    };
    for (const Case& c : cases) {
        const std::string bytes = c.bytes;
        EXPECT_EQ(Cp932ToUtf8(bytes.data(), bytes.size()), c.utf8) << Hex(bytes);
        EXPECT_EQ(GlibcCp932ToUtf8(bytes.data(), bytes.size()), c.utf8) << Hex(bytes);
    }
}

}  // namespace
