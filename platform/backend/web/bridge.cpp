// The only file that speaks JavaScript: the worker's shared buffer and its messages to the
// page. The ring's layout is site/page.js's: [0] wake count, [1] events written, [2] events
// read, then kRingSize events of four numbers.
#include <emscripten.h>

#include "backend/web/web.h"

// clang-format off
EM_JS(int, web_has_shared, (), {
    return Module['shared'] instanceof Int32Array ? 1 : 0;
});

EM_JS(int, web_start_tick, (), {
    var t = Module['startTick'];
    return typeof t == 'number' && t >= 0 ? t | 0 : -1;
});

EM_JS(double, web_wall_tick, (), {
    return Date.now() % 4294967296;
});

EM_JS(void, web_viewport, (int* cx, int* cy), {
    HEAP32[cx >> 2] = Module['viewportWidth'] | 0;
    HEAP32[cy >> 2] = Module['viewportHeight'] | 0;
});

EM_JS(int, web_wake_count, (), {
    return Atomics.load(Module['shared'], 0);
});

EM_JS(int, web_take_event, (int* out), {
    var s = Module['shared'];
    var read = Atomics.load(s, 2);
    if (read == Atomics.load(s, 1))
        return 0;
    var at = 4 + (read % 64) * 4;
    for (var i = 0; i < 4; i++)
        HEAP32[(out >> 2) + i] = s[at + i];
    Atomics.store(s, 2, read + 1);
    return 1;
});

EM_JS(void, web_sleep, (int seen, double ms), {
    Atomics.wait(Module['shared'], 0, seen, ms < 0 ? Infinity : ms);
});

// 0x00RRGGBB words to RGBA bytes, in a buffer of its own that is handed over, not copied.
EM_JS(void, web_post, (const char* json, const uint32_t* pixels, int count), {
    var message = JSON.parse(UTF8ToString(json));
    var transfer = [];
    if (pixels) {
        var from = HEAPU32.subarray(pixels >> 2, (pixels >> 2) + count);
        var rgba = new Uint32Array(count);
        for (var i = 0; i < count; i++) {
            var p = from[i];
            rgba[i] = 0xFF000000 | ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >>> 16) & 0xFF);
        }
        message['pixels'] = rgba.buffer;
        transfer.push(rgba.buffer);
    }
    postMessage(message, transfer);
});
// clang-format on

#include <cstdio>
#include <string>

namespace {

std::string Quoted(const char* text)
{
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + '"';
}

std::string Field(const char* name, int value)
{
    return std::string("\"") + name + "\":" + std::to_string(value);
}

void Post(const std::string& json, const uint32_t* pixels = nullptr, int count = 0)
{
    web_post(json.c_str(), pixels, count);
}

}  // namespace

bool WebShared() { return web_has_shared() != 0; }
int WebStartTick() { return web_start_tick(); }
uint32_t WebWallTick() { return static_cast<uint32_t>(web_wall_tick()); }
void WebViewport(int* cx, int* cy) { web_viewport(cx, cy); }
int WebWakeCount() { return web_wake_count(); }

bool WebTakeEvent(WebEvent* e)
{
    int raw[4];
    if (!web_take_event(raw))
        return false;
    *e = {raw[0], raw[1], raw[2], raw[3]};
    return true;
}

void WebSleep(int seen, double ms) { web_sleep(seen, ms); }

void WebPostWindow(int id, const char* titleUtf8, int width, int height, const uint32_t* icon,
                   int iconSize)
{
    Post("{\"type\":\"window\"," + Field("id", id) + ",\"title\":" + Quoted(titleUtf8) + "," +
             Field("width", width) + "," + Field("height", height) + "," +
             Field("iconSize", icon ? iconSize : 0) + "}",
         icon, icon ? iconSize * iconSize : 0);
}

void WebPostFrame(int id, const uint32_t* pixels, int width, int height)
{
    Post("{\"type\":\"frame\"," + Field("id", id) + "," + Field("width", width) + "," +
             Field("height", height) + "}",
         pixels, width * height);
}

void WebPostWindowGone(int id) { Post("{\"type\":\"windowGone\"," + Field("id", id) + "}"); }

void WebPostBox(int id, int owner, const char* captionUtf8, const char* textUtf8,
                const uint32_t* pixels, int width, int height, const RECT& button)
{
    Post("{\"type\":\"box\"," + Field("id", id) + "," + Field("owner", owner) +
             ",\"caption\":" + Quoted(captionUtf8) + ",\"text\":" + Quoted(textUtf8) + "," +
             Field("width", width) + "," + Field("height", height) + ",\"button\":[" +
             std::to_string(button.left) + "," + std::to_string(button.top) + "," +
             std::to_string(button.right) + "," + std::to_string(button.bottom) + "]}",
         pixels, width * height);
}

void WebPostBoxGone(int id) { Post("{\"type\":\"boxGone\"," + Field("id", id) + "}"); }
