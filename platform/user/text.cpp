// wsprintfA and lstrlenA. wsprintfA writes at most 1024 bytes, the terminating NUL included,
// as on Windows; longer output is cut, never overrun.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr size_t kWsprintfLimit = 1024;

void Pad(std::string& out, const std::string& body, int width, bool left, char fill)
{
    const int pad = width - static_cast<int>(body.size());
    if (pad <= 0) {
        out += body;
    } else if (left) {
        out += body;
        out.append(static_cast<size_t>(pad), ' ');
    } else if (fill == '0' && !body.empty() && body[0] == '-') {
        out += '-';
        out.append(static_cast<size_t>(pad), '0');
        out.append(body, 1);
    } else {
        out.append(static_cast<size_t>(pad), fill);
        out += body;
    }
}

std::string Format(const char* f, va_list args)
{
    std::string out;
    while (*f) {
        if (*f != '%') {
            out += *f++;
            continue;
        }
        const char* start = f++;
        bool left = false;
        char fill = ' ';
        for (;; ++f) {
            if (*f == '-')
                left = true;
            else if (*f == '0')
                fill = '0';
            else
                break;
        }
        int width = 0;
        for (; *f >= '0' && *f <= '9'; ++f)
            width = width * 10 + (*f - '0');
        int precision = -1;
        if (*f == '.') {
            precision = 0;
            for (++f; *f >= '0' && *f <= '9'; ++f)
                precision = precision * 10 + (*f - '0');
        }
        if (*f == 'l' || *f == 'h')  // int and long are both 32 bits on the program's platforms
            ++f;
        std::string body;
        switch (*f) {
        case 'd':
        case 'i':
            body = std::to_string(va_arg(args, int));
            break;
        case 'u':
            body = std::to_string(va_arg(args, unsigned));
            break;
        case 'x':
        case 'X': {
            char buf[16];
            snprintf(buf, sizeof buf, *f == 'x' ? "%x" : "%X", va_arg(args, unsigned));
            body = buf;
            break;
        }
        case 'c':
            body = std::string(1, static_cast<char>(va_arg(args, int)));
            break;
        case 's': {
            const char* s = va_arg(args, const char*);
            body = s ? s : "(null)";
            if (precision >= 0 && body.size() > static_cast<size_t>(precision))
                body.resize(static_cast<size_t>(precision));
            break;
        }
        case '%':
            body = "%";
            break;
        default:
            // Not a conversion wsprintfA knows: keep the text as written.
            out.append(start, static_cast<size_t>(f - start));
            if (*f)
                out += *f++;
            continue;
        }
        ++f;
        Pad(out, body, width, left, fill);
    }
    return out;
}

}  // namespace

int wsprintfA(LPSTR out, LPCSTR format, ...)
{
    if (!out || !format)
        return 0;
    va_list args;
    va_start(args, format);
    const std::string text = Format(format, args);
    va_end(args);
    const size_t n = std::min(text.size(), kWsprintfLimit - 1);
    memcpy(out, text.data(), n);
    out[n] = '\0';
    return static_cast<int>(n);
}

int WINAPI lstrlenA(LPCSTR s) { return s ? static_cast<int>(strlen(s)) : 0; }
