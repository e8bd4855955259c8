// The headless output: renders the synthesizer offline against the virtual clock and keeps
// the level of every 10 ms, so tests can hear whether music plays. Slow work runs at once,
// on the window thread, so a run stays deterministic.
#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

#include "backend/backend.h"
#include "mci/headless_sound.h"
#include "mci/limiter.h"
#include "mci/output.h"

namespace {

constexpr uint64_t kIntervalMs = 10;
constexpr uint64_t kIntervalFrames = kOutputSampleRate * kIntervalMs / 1000;

struct Interval {
    double sumOfSquares = 0;
    float peak = 0;
};

fluid_synth_t* g_synth = nullptr;
Limiter g_limiter;
bool g_rendering = true;
uint64_t g_frame = 0;               // frames of the virtual clock rendered or skipped so far
std::vector<Interval> g_intervals;  // each 10 ms
bool g_holding = false;
std::deque<std::function<void()>> g_held;

uint64_t FrameAt(uint64_t ms) { return ms * kOutputSampleRate / 1000; }

}  // namespace

void MciOutputRunSlow(std::function<void()> job)
{
    if (g_holding)
        g_held.push_back(std::move(job));
    else
        job();
}

void MciOutputFinishSlow() {}

bool MciOutputOpen(fluid_synth_t* synth)
{
    if (!g_rendering)
        return false;
    g_synth = synth;
    g_limiter = Limiter{};
    g_frame = FrameAt(BackendNow());
    return true;
}

void MciOutputSilence() { g_synth = nullptr; }
void MciOutputClose() {}

void MciOutputLock() {}
void MciOutputUnlock() {}

void MciOutputCatchUp(uint64_t now)
{
    if (!g_synth)
        return;
    float block[2 * kIntervalFrames];
    for (const uint64_t target = FrameAt(now); g_frame < target;) {
        const uint64_t interval = g_frame / kIntervalFrames;
        const int frames = static_cast<int>(
            std::min(target - g_frame, (interval + 1) * kIntervalFrames - g_frame));
        RenderLimited(g_synth, &g_limiter, block, frames);
        if (g_intervals.size() <= interval)
            g_intervals.resize(interval + 1);
        Interval& in = g_intervals[interval];
        for (int i = 0; i < 2 * frames; ++i) {
            in.sumOfSquares += static_cast<double>(block[i]) * block[i];
            in.peak = std::max(in.peak, std::fabs(block[i]));
        }
        g_frame += static_cast<uint64_t>(frames);
    }
}

void MciOutputReset()
{
    HeadlessRunHeldWork();
    g_holding = false;
    g_intervals.clear();
    g_frame = 0;
}

double HeadlessSoundLevel(uint64_t fromMs, uint64_t toMs)
{
    MciOutputCatchUp(BackendNow());
    const uint64_t first = fromMs / kIntervalMs, last = toMs / kIntervalMs;
    if (last <= first)
        return 0;
    double sum = 0;
    for (uint64_t i = first; i < last && i < g_intervals.size(); ++i)
        sum += g_intervals[i].sumOfSquares;
    return std::sqrt(sum / static_cast<double>((last - first) * kIntervalFrames * 2));
}

double HeadlessSoundPeak(uint64_t fromMs, uint64_t toMs)
{
    MciOutputCatchUp(BackendNow());
    double peak = 0;
    for (uint64_t i = fromMs / kIntervalMs; i < toMs / kIntervalMs && i < g_intervals.size(); ++i)
        peak = std::max(peak, static_cast<double>(g_intervals[i].peak));
    return peak;
}

void HeadlessSetSoundRendering(bool on) { g_rendering = on; }

void HeadlessHoldSlowWork() { g_holding = true; }

void HeadlessRunHeldWork()
{
    while (!g_held.empty()) {
        std::function<void()> job = std::move(g_held.front());
        g_held.pop_front();
        job();
    }
}
