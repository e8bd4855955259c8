#include "user/trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "gdi/cp932.h"

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
    for (char c : cp932 ? Cp932ToUtf8(cp932, strlen(cp932)) : std::string()) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out + "\"";
}
