// What the window thread spends on the music with a real audio output (SDL's dummy driver,
// which takes sound at a device's pace): "open" and "play" while the synthesizer starts
// behind them, and "close" while the device closes behind it. Also the time the start takes
// on the worker, for comparison.
#include <benchmark/benchmark.h>
#include <mmsystem.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "backend/headless/headless.h"
#include "mci/mci.h"

namespace {

const std::string kOpen = std::string("open ") + DISCFIRE_TUNE;
const std::string kPlay = std::string("play ") + DISCFIRE_TUNE;
const std::string kClose = std::string("close ") + DISCFIRE_TUNE;

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

void BM_OpenAndPlay(benchmark::State& state)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    double started = 0;
    for (auto _ : state) {
        HeadlessReset();
        const auto t = Clock::now();
        mciSendStringA(kOpen.c_str(), nullptr, 0, nullptr);
        mciSendStringA(kPlay.c_str(), nullptr, 0, nullptr);
        state.SetIterationTime(Since(t));
        MciFinishStarting();
        started += Since(t);
        state.PauseTiming();
        mciSendStringA(kClose.c_str(), nullptr, 0, nullptr);
        MciFinishStarting();
        state.ResumeTiming();
    }
    state.counters["until_sounding_ms"] = 1000 * started / static_cast<double>(state.iterations());
}
BENCHMARK(BM_OpenAndPlay)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_Close(benchmark::State& state)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    double released = 0;
    for (auto _ : state) {
        HeadlessReset();
        mciSendStringA(kOpen.c_str(), nullptr, 0, nullptr);
        mciSendStringA(kPlay.c_str(), nullptr, 0, nullptr);
        MciFinishStarting();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto t = Clock::now();
        mciSendStringA(kClose.c_str(), nullptr, 0, nullptr);
        state.SetIterationTime(Since(t));
        MciFinishStarting();
        released += Since(t);
    }
    state.counters["until_released_ms"] = 1000 * released / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Close)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
