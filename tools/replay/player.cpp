#include "replay/player.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "backend/headless/headless.h"
#include "game/game.h"
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

constexpr int kSpeedX = 8, kSpeedY = 80;

class PerfectPlayer : public Player {
public:
    PerfectPlayer(uint64_t untilMs, uint64_t untilSpeed) : until_(untilMs), untilSpeed_(untilSpeed)
    {}

    void Saw(const std::string& line, bool text) override
    {
        int x = 0, y = 0, n = 0;
        if (!text || sscanf(line.c_str(), "TextOutA x=%d y=%d text=%n", &x, &y, &n) != 2)
            return;
        // "x1024 CD-R": the speed reached.
        unsigned long long speed = 0;
        if (x == kSpeedX && y == kSpeedY && sscanf(line.c_str() + n, "\"x%llu CD-R\"", &speed) == 1 &&
            speed >= untilSpeed_)
            speedReached_ = true;
        if (y != kLabelY)
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
            if (!labelled_[i] || !w || Done())
                continue;
            const int x = DiscLeft(i) + kProbeDx, y = kDiscTop + kProbeDy;
            if (y < w->surface.height && x < w->surface.width &&
                ProgressOf(w->surface.At(x, y)) == target_[i])
                HeadlessClickAt(HeadlessNow(), DiscLeft(i) + 16, kDiscTop + 16);
        }
        for (bool& l : labelled_)
            l = false;
    }

    bool Done() const override { return HeadlessNow() > until_ || speedReached_; }

private:
    static int ProgressOf(uint32_t pixel)
    {
        for (int i = 0; i < 75; ++i)
            if (PixelFromColorref(ColourRamp[i]) == pixel)
                return i;
        return -1;
    }

    uint64_t until_;
    uint64_t untilSpeed_;
    bool speedReached_ = false;
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

// Hands every event to the first player not yet done.
class ChainPlayer : public Player {
public:
    explicit ChainPlayer(std::vector<std::unique_ptr<Player>> players) : players_(std::move(players))
    {}

    void Saw(const std::string& line, bool text) override { Current().Saw(line, text); }
    void Painted(HWND hwnd) override { Current().Painted(hwnd); }

private:
    Player& Current()
    {
        while (at_ + 1 < players_.size() && players_[at_]->Done())
            ++at_;
        return *players_[at_];
    }

    std::vector<std::unique_ptr<Player>> players_;
    size_t at_ = 0;
};

bool ParseNumber(const std::string& s, uint64_t* out)
{
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos || s.size() > 19)
        return false;
    *out = strtoull(s.c_str(), nullptr, 10);
    return true;
}

// One player of a chain; `endless` says it never hands over.
std::unique_ptr<Player> MakeOne(const std::string& spec, bool* endless)
{
    uint64_t n = 0;
    *endless = true;
    if (spec == "idle")
        return std::make_unique<Player>();
    if (spec.rfind("random:", 0) == 0 && ParseNumber(spec.substr(7), &n) && n <= UINT32_MAX)
        return std::make_unique<RandomPlayer>(static_cast<uint32_t>(n));
    *endless = false;
    // A speed the game never reaches would never hand over.
    if (spec.rfind("perfect:x", 0) == 0 && ParseNumber(spec.substr(9), &n) && n > 0 &&
        n <= SPEED_LIMIT)
        return std::make_unique<PerfectPlayer>(UINT64_MAX, n);
    if (spec.rfind("perfect:", 0) == 0 && ParseNumber(spec.substr(8), &n))
        return std::make_unique<PerfectPlayer>(n, UINT64_MAX);
    return nullptr;
}

}  // namespace

std::unique_ptr<Player> MakePlayer(const std::string& spec, std::string* error)
{
    std::vector<std::unique_ptr<Player>> players;
    bool endless = false;
    for (size_t at = 0; at <= spec.size();) {
        const size_t comma = std::min(spec.find(',', at), spec.size());
        if (endless) {
            *error = "idle and random never hand over: they can only come last";
            return nullptr;
        }
        players.push_back(MakeOne(spec.substr(at, comma - at), &endless));
        if (!players.back()) {
            *error = "unknown player (idle, perfect:UNTIL_MS, perfect:xSPEED with SPEED 1 to "
                     "1024, or random:SEED, joined by commas)";
            return nullptr;
        }
        at = comma + 1;
    }
    if (players.size() == 1)
        return std::move(players.front());
    return std::make_unique<ChainPlayer>(std::move(players));
}
