#include "gdi/cp932.h"

#include <iconv.h>

#include <cerrno>

namespace {

// One converter per direction for the whole run; iconv is reset before each string.
iconv_t Converter(const char* to)
{
    return iconv_open(to, "CP932");
}

template <typename Out>
void Convert(iconv_t cd, const char* text, size_t length, Out* out, size_t unit)
{
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (size_t i = 0; i < length; ++i)  // no converter at all: keep plain ASCII
            out->push_back(static_cast<unsigned char>(text[i]) < 0x80 ? text[i] : '?');
        return;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text);
    size_t inLeft = length;
    char buffer[256];
    while (inLeft > 0) {
        char* to = buffer;
        size_t toLeft = sizeof buffer;
        const size_t r = iconv(cd, &in, &inLeft, &to, &toLeft);
        const int error = r == static_cast<size_t>(-1) ? errno : 0;
        for (const char* p = buffer; p + unit <= to; p += unit) {
            typename Out::value_type c = 0;
            for (size_t b = unit; b-- > 0;)
                c = static_cast<typename Out::value_type>((c << 8) | static_cast<unsigned char>(p[b]));
            out->push_back(c);
        }
        if (error == EILSEQ || error == EINVAL) {
            out->push_back('?');
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else if (error && error != E2BIG) {
            return;
        }
    }
}

}  // namespace

std::u32string DecodeCp932(const char* text, size_t length)
{
    static iconv_t cd = Converter("UTF-32LE");
    std::u32string out;
    if (text)
        Convert(cd, text, length, &out, 4);
    return out;
}

std::string Cp932ToUtf8(const char* text, size_t length)
{
    static iconv_t cd = Converter("UTF-8");
    std::string out;
    if (text)
        Convert(cd, text, length, &out, 1);
    return out;
}
