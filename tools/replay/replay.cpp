// discfire-replay: the real WinMain and game on the headless backend, driven from the
// command line, for tests, for reproducing a player's report and for screenshots.
#include <windows.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "backend/headless/headless.h"
#include "gdi/gdi.h"
#include "gdi/png.h"
#include "mci/headless_sound.h"
#include "replay/player.h"
#include "user/trace.h"
#include "user/wm.h"

namespace {

const char kUsage[] =
    "usage: discfire-replay [options]\n"
    "  --start-tick N          what GetTickCount reads at start (default 0)\n"
    "  --click MS:X:Y          a left click at virtual time MS (repeatable)\n"
    "  --close MS              the close button at virtual time MS\n"
    "  --frame MS:FILE.png     the client area at virtual time MS (repeatable)\n"
    "  --box-ms N              how long each message box stays up (default 0)\n"
    "  --player PLAYER[,PLAYER...]  who clicks; each hands over to the next when done:\n"
    "                          idle, perfect:UNTIL_MS, perfect:xSPEED (1 to 1024) or\n"
    "                          random:SEED\n"
    "  --trace FILE            the call trace (default standard output); a trace that\n"
    "                          cannot be written fails the run with exit code 2\n"
    "  --trace-text            add TextOutA to the trace\n"
    "  --stats MS              trace ticks, paints, live GDI objects and resident memory\n"
    "                          after the first paint, every MS, after the last paint and at exit\n"
    "  --sound                 render the music (slower; silent timing otherwise)\n"
    "Times are in virtual milliseconds, at most 10^15.\n";

[[noreturn]] void Usage(const char* problem, const char* arg)
{
    fprintf(stderr, "discfire-replay: %s%s%s\n%s", problem, arg ? ": " : "", arg ? arg : "",
            kUsage);
    exit(2);
}

uint64_t Number(const char* text, const char* option)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = strtoull(text, &end, 10);
    if (!*text || *end || errno || text[0] == '-')
        Usage("not a number", option);
    return v;
}

// Virtual times and delays: far beyond any game (some 30,000 years), and small enough that
// a time plus a delay cannot wrap around.
constexpr uint64_t kMaxMs = 1000000000000000;

uint64_t Milliseconds(const char* text, const char* option)
{
    const uint64_t v = Number(text, option);
    if (v > kMaxMs)
        Usage("out of range", option);
    return v;
}

// Splits "A:B:C" into exactly n parts.
std::vector<std::string> Split(const char* text, size_t n, const char* option)
{
    std::vector<std::string> parts;
    std::string s = text;
    for (size_t i = 0; i + 1 < n; ++i) {
        const size_t colon = s.find(':');
        if (colon == std::string::npos)
            Usage("malformed value", option);
        parts.push_back(s.substr(0, colon));
        s = s.substr(colon + 1);
    }
    parts.push_back(s);
    return parts;
}

FILE* g_trace = stdout;
bool g_traceText = false;
std::unique_ptr<Player> g_player;

// What a soak watches for: ticks and paints so far, and what the program holds.
struct Stats {
    uint64_t ms = 0, ticks = 0, paints = 0;
    size_t gdi = 0, dcs = 0;
};
uint64_t g_statsEvery = 0;  // 0: no stats
uint64_t g_nextStats = 0;
uint64_t g_paints = 0;
Stats g_lastPaint;

Stats TakeStats()
{
    return {HeadlessNow(), WmTimerMessagesTaken(), g_paints, GdiLiveObjects(), GdiLiveDCs()};
}

long ResidentKb()
{
    long pages = 0, resident = 0;
    FILE* f = fopen("/proc/self/statm", "r");
    if (!f)
        return -1;
    const bool read = fscanf(f, "%ld %ld", &pages, &resident) == 2;
    fclose(f);
    return read ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

void WriteStats(const char* when, const Stats& s, bool withMemory)
{
    fprintf(g_trace, "%llu Stats when=%s ticks=%llu paints=%llu gdi=%zu dcs=%zu",
            static_cast<unsigned long long>(s.ms), when, static_cast<unsigned long long>(s.ticks),
            static_cast<unsigned long long>(s.paints), s.gdi, s.dcs);
    if (withMemory)
        fprintf(g_trace, " rss_kb=%ld", ResidentKb());
    fputc('\n', g_trace);
}

void Painted(HWND hwnd)
{
    g_player->Painted(hwnd);
    if (!g_statsEvery)
        return;
    ++g_paints;
    g_lastPaint = TakeStats();
    if (g_paints == 1 || HeadlessNow() >= g_nextStats) {
        WriteStats(g_paints == 1 ? "first-paint" : "periodic", g_lastPaint, true);
        g_nextStats = (HeadlessNow() / g_statsEvery + 1) * g_statsEvery;
    }
}

void TakeFrame(uint64_t ms, const std::string& path)
{
    std::vector<HWND> windows = WmTopLevelWindows();
    if (windows.empty()) {
        fprintf(stderr, "discfire-replay: no window at %llu ms for %s\n",
                static_cast<unsigned long long>(ms), path.c_str());
        return;
    }
    if (!WriteSurfacePng(WmFind(windows.front())->surface, path.c_str()))
        fprintf(stderr, "discfire-replay: cannot write %s\n", path.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    uint32_t startTick = 0;
    uint64_t boxMs = 0;
    const char* tracePath = nullptr;
    struct Frame {
        uint64_t ms;
        std::string path;
    };
    std::vector<Frame> frames;
    std::vector<std::vector<uint64_t>> clicks;
    std::vector<uint64_t> closes;
    std::string player = "idle";
    bool sound = false;

    for (int i = 1; i < argc; ++i) {
        const char* opt = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc)
                Usage("missing value", opt);
            return argv[++i];
        };
        if (!strcmp(opt, "--start-tick")) {
            const uint64_t v = Number(value(), opt);
            if (v > UINT32_MAX)
                Usage("out of range", opt);
            startTick = static_cast<uint32_t>(v);
        } else if (!strcmp(opt, "--click")) {
            auto p = Split(value(), 3, opt);
            clicks.push_back({Milliseconds(p[0].c_str(), opt), Number(p[1].c_str(), opt),
                              Number(p[2].c_str(), opt)});
            if (clicks.back()[1] > 0xFFFF || clicks.back()[2] > 0xFFFF)
                Usage("out of range", opt);
        } else if (!strcmp(opt, "--close")) {
            closes.push_back(Milliseconds(value(), opt));
        } else if (!strcmp(opt, "--frame")) {
            auto p = Split(value(), 2, opt);
            if (p[1].empty())
                Usage("missing file name", opt);
            frames.push_back({Milliseconds(p[0].c_str(), opt), p[1]});
        } else if (!strcmp(opt, "--box-ms")) {
            boxMs = Milliseconds(value(), opt);
        } else if (!strcmp(opt, "--player")) {
            player = value();
        } else if (!strcmp(opt, "--trace")) {
            tracePath = value();
        } else if (!strcmp(opt, "--sound")) {
            sound = true;
        } else if (!strcmp(opt, "--stats")) {
            g_statsEvery = Milliseconds(value(), opt);
            if (!g_statsEvery)
                Usage("out of range", opt);
        } else if (!strcmp(opt, "--trace-text")) {
            g_traceText = true;
        } else if (!strcmp(opt, "--help") || !strcmp(opt, "-h")) {
            fputs(kUsage, stdout);
            return 0;
        } else {
            Usage("unknown option", opt);
        }
    }

    std::string playerError;
    g_player = MakePlayer(player, &playerError);
    if (!g_player)
        Usage(playerError.c_str(), player.c_str());
    if (tracePath && !(g_trace = fopen(tracePath, "w"))) {
        fprintf(stderr, "discfire-replay: cannot write %s: %s\n", tracePath, strerror(errno));
        return 2;
    }

    HeadlessReset(startTick);
    // Rendering the synthesizer is most of a replay's cost; the song is timed the same either way.
    HeadlessSetSoundRendering(sound);
    HeadlessSetBoxDelay(boxMs);
    for (const auto& c : clicks)
        HeadlessClickAt(c[0], static_cast<int>(c[1]), static_cast<int>(c[2]));
    for (uint64_t ms : closes)
        HeadlessCloseAt(ms);
    for (const Frame& f : frames)
        HeadlessAfter(f.ms, [f] { TakeFrame(f.ms, f.path); });
    SetTraceSink([](const std::string& line) {
        const bool text = line.compare(0, 9, "TextOutA ") == 0;
        g_player->Saw(line, text);
        if (!text || g_traceText)
            fprintf(g_trace, "%llu %s\n", static_cast<unsigned long long>(HeadlessNow()),
                    line.c_str());
    });
    HeadlessSetPaintObserver(Painted);

    HINSTANCE instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));
    char cmdLine[] = "";
    const int code = WinMain(instance, nullptr, cmdLine, SW_SHOWDEFAULT);
    if (g_statsEvery) {
        WriteStats("last-paint", g_lastPaint, false);
        WriteStats("exit", TakeStats(), true);
    }
    fprintf(g_trace, "%llu Exit code=%d\n", static_cast<unsigned long long>(HeadlessNow()), code);
    SetTraceSink(nullptr);
    // A trace that could not be written is a failed run, whatever the game's exit code.
    errno = 0;
    bool written = fflush(g_trace) == 0 && !ferror(g_trace);
    const int error = errno;
    if (g_trace != stdout)
        written = fclose(g_trace) == 0 && written;
    if (!written) {
        fprintf(stderr, "discfire-replay: cannot write %s: %s\n",
                tracePath ? tracePath : "the trace", strerror(error ? error : EIO));
        return 2;
    }
    return code;
}
