// Code page 932 without iconv, for builds whose C library has none (the web): a table made
// at build time from Python's cp932 codec. Bad bytes go as glibc's converter lets them go.
#include <cstdint>

#include "gdi/cp932.h"

namespace {

#include "cp932_map.inc"

int LeadIndex(unsigned char b)
{
    if (b >= 0x81 && b <= 0x9F)
        return b - 0x81;
    if (b >= 0xE0 && b <= 0xFC)
        return b - 0xE0 + (0x9F - 0x81 + 1);
    return -1;
}

char32_t Next(const unsigned char* p, size_t left, size_t* used)
{
    *used = 1;
    const int lead = LeadIndex(p[0]);
    if (lead < 0)
        return kCp932Single[p[0]] == kCp932None ? U'?' : kCp932Single[p[0]];
    if (left < 2 || p[1] < 0x40 || p[1] > 0xFC)
        return U'?';
    const char16_t c = kCp932Double[lead * kCp932Trails + (p[1] - 0x40)];
    if (c == kCp932None)
        return U'?';
    *used = 2;
    return c;
}

void AppendUtf8(std::string* out, char32_t c)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::u32string DecodeCp932(const char* text, size_t length)
{
    std::u32string out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0, used = 0; text && i < length; i += used)
        out.push_back(Next(p + i, length - i, &used));
    return out;
}

std::string Cp932ToUtf8(const char* text, size_t length)
{
    std::string out;
    for (char32_t c : DecodeCp932(text, length))
        AppendUtf8(&out, c);
    return out;
}
