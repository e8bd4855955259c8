#include "user/codepage.h"

#include <iconv.h>

#include <cstring>

std::string Cp932ToUtf8(const char* cp932)
{
    std::string out;
    if (!cp932)
        return out;
    // glibc's "CP932" takes the Windows extensions that its "SHIFT_JIS" rejects.
    iconv_t cd = iconv_open("UTF-8", "CP932");
    char* in = const_cast<char*>(cp932);
    size_t inLeft = strlen(cp932);
    while (inLeft > 0) {
        char buf[256];
        char* outp = buf;
        size_t outLeft = sizeof buf;
        char* before = in;
        const size_t r = cd == reinterpret_cast<iconv_t>(-1)
                             ? static_cast<size_t>(-1)
                             : iconv(cd, &in, &inLeft, &outp, &outLeft);
        out.append(buf, static_cast<size_t>(outp - buf));
        if (r == static_cast<size_t>(-1) && in == before) {
            out += '?';
            ++in;
            --inLeft;
        }
    }
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
    return out;
}
