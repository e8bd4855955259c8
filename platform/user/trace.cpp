#include "user/trace.h"

#include <iconv.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

TraceSink g_sink;

}  // namespace

void SetTraceSink(TraceSink sink) { g_sink = std::move(sink); }

bool TraceOn() { return static_cast<bool>(g_sink); }

void TraceCall(const char* format, ...)
{
    if (!g_sink)
        return;
    char line[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    g_sink(line);
}

std::string TraceText(const char* cp932)
{
    std::string out = "\"";
    if (!cp932)
        return out + "\"";
    iconv_t cd = iconv_open("UTF-8", "CP932");
    const char* in = cp932;
    size_t inLeft = strlen(cp932);
    while (inLeft > 0) {
        char buf[64];
        char* outp = buf;
        size_t outLeft = sizeof buf;
        char* inp = const_cast<char*>(in);
        size_t r = cd == reinterpret_cast<iconv_t>(-1)
                       ? static_cast<size_t>(-1)
                       : iconv(cd, &inp, &inLeft, &outp, &outLeft);
        for (const char* p = buf; p < outp; ++p) {
            if (*p == '"' || *p == '\\')
                out += '\\';
            if (*p == '\n')
                out += "\\n";
            else
                out += *p;
        }
        if (r == static_cast<size_t>(-1) && inp == in) {
            // Not convertible here: show one '?' for the byte and go on.
            out += '?';
            ++inp;
            --inLeft;
        }
        in = inp;
    }
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
    return out + "\"";
}
