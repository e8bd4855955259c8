#include "replay/player.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "backend/headless/headless.h"
#include "gfx/gfx.h"
#include "user/wm.h"

namespace {

// Where the board puts each disc and its target label; what a player sees on screen.
constexpr int kDiscCount = 5;
int DiscLeft(int i) { return 40 + 80 * i; }
constexpr int kDiscTop = 160;
constexpr int kLabelY = 140;
// A point on a disc's coloured ring: below the centre hole, clear of any verdict text.
constexpr int kProbeDx = 16, kProbeDy = 26;

class PerfectPlayer : public Player {
public:
    explicit PerfectPlayer(uint64_t until) : until_(until) {}

    void Saw(const std::string& line, bool text) override
    {
        int x = 0, y = 0, n = 0;
        if (!text || sscanf(line.c_str(), "TextOutA x=%d y=%d text=%n", &x, &y, &n) != 2 ||
            y != kLabelY)
            return;
        // "目標450MB": the target in 10-MB steps is the number without its last digit.
        const char* label = line.c_str() + n;
        const char* digits = strpbrk(label, "0123456789");
        const int i = (x + 2 - DiscLeft(0)) / 80;
        if (!digits || i < 0 || i >= kDiscCount || DiscLeft(i) - 2 != x)
            return;
        target_[i] = atoi(digits) / 10;
        labelled_[i] = true;
    }

    void Painted(HWND hwnd) override
    {
        const Window* w = WmFind(hwnd);
        for (int i = 0; i < kDiscCount; ++i) {
            if (!labelled_[i] || !w || HeadlessNow() > until_)
                continue;
            const int x = DiscLeft(i) + kProbeDx, y = kDiscTop + kProbeDy;
            if (y < w->surface.height && x < w->surface.width &&
                ProgressOf(w->surface.At(x, y)) == target_[i])
                HeadlessClickAt(HeadlessNow(), DiscLeft(i) + 16, kDiscTop + 16);
        }
        for (bool& l : labelled_)
            l = false;
    }

private:
    static int ProgressOf(uint32_t pixel)
    {
        for (int i = 0; i < 75; ++i)
            if (PixelFromColorref(ColourRamp[i]) == pixel)
                return i;
        return -1;
    }

    uint64_t until_;
    int target_[kDiscCount] = {};
    bool labelled_[kDiscCount] = {};
};

// Clicks discs at random moments, hits and misses alike: a soak's player.
class RandomPlayer : public Player {
public:
    explicit RandomPlayer(uint32_t seed) : state_(seed) {}

    void Painted(HWND) override
    {
        if (Next() % 8 != 0)
            return;
        const int i = static_cast<int>(Next() % kDiscCount);
        const int dx = static_cast<int>(Next() % 40) - 4, dy = static_cast<int>(Next() % 40) - 4;
        HeadlessClickAt(HeadlessNow(), DiscLeft(i) + dx, kDiscTop + dy);
    }

private:
    uint32_t Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    uint32_t state_;
};

bool ParseNumber(const std::string& s, uint64_t* out)
{
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos || s.size() > 19)
        return false;
    *out = strtoull(s.c_str(), nullptr, 10);
    return true;
}

}  // namespace

std::unique_ptr<Player> MakePlayer(const std::string& spec, std::string* error)
{
    uint64_t n = 0;
    if (spec == "idle")
        return std::make_unique<Player>();
    if (spec.rfind("perfect:", 0) == 0 && ParseNumber(spec.substr(8), &n))
        return std::make_unique<PerfectPlayer>(n);
    if (spec.rfind("random:", 0) == 0 && ParseNumber(spec.substr(7), &n) && n <= UINT32_MAX)
        return std::make_unique<RandomPlayer>(static_cast<uint32_t>(n));
    *error = "unknown player (idle, perfect:UNTIL_MS or random:SEED)";
    return nullptr;
}
