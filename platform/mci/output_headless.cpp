// The headless output: renders the synthesizer offline against the virtual clock and keeps
// the level of every 10 ms, so tests can hear whether music plays.
#include <algorithm>
#include <cmath>
#include <vector>

#include "backend/backend.h"
#include "mci/headless_sound.h"
#include "mci/output.h"

namespace {

constexpr uint64_t kIntervalMs = 10;
constexpr uint64_t kIntervalFrames = kOutputSampleRate * kIntervalMs / 1000;

fluid_synth_t* g_synth = nullptr;
bool g_rendering = true;
uint64_t g_frame = 0;             // frames of the virtual clock rendered or skipped so far
std::vector<double> g_intervals;  // sum of squared samples of each 10 ms

uint64_t FrameAt(uint64_t ms) { return ms * kOutputSampleRate / 1000; }

}  // namespace

bool MciOutputOpen(fluid_synth_t* synth)
{
    if (!g_rendering)
        return false;
    g_synth = synth;
    g_frame = FrameAt(BackendNow());
    return true;
}

void MciOutputClose() { g_synth = nullptr; }

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
        fluid_synth_write_float(g_synth, frames, block, 0, 2, block, 1, 2);
        double sum = 0;
        for (int i = 0; i < 2 * frames; ++i)
            sum += static_cast<double>(block[i]) * block[i];
        if (g_intervals.size() <= interval)
            g_intervals.resize(interval + 1);
        g_intervals[interval] += sum;
        g_frame += static_cast<uint64_t>(frames);
    }
}

void MciOutputReset()
{
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
        sum += g_intervals[i];
    return std::sqrt(sum / static_cast<double>((last - first) * kIntervalFrames * 2));
}

void HeadlessSetSoundRendering(bool on) { g_rendering = on; }
