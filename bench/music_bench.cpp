// What the music costs: starting the synthesizer (its soundfont load above all), the memory
// a playing tune adds, and the processor time of synthesis while it plays.
#include <benchmark/benchmark.h>
#include <mmsystem.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "backend/headless/headless.h"
#include "mci/headless_sound.h"
#include "mci/mci.h"
#include "mci/synth.h"

namespace {

const std::string kOpen = std::string("open ") + DISCFIRE_TUNE;
const std::string kPlay = std::string("play ") + DISCFIRE_TUNE;

double ResidentMegabytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = fopen("/proc/self/statm", "r")) {
        if (fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        fclose(f);
    }
    return static_cast<double>(resident) * 4096 / (1 << 20);
}

// Runs first, in a process that has not yet made room for a synthesizer.
void BM_MemoryOfAPlayingTune(benchmark::State& state)
{
    for (auto _ : state) {
        HeadlessReset();
        const double before = ResidentMegabytes();
        mciSendStringA(kOpen.c_str(), nullptr, 0, nullptr);
        mciSendStringA(kPlay.c_str(), nullptr, 0, nullptr);
        HeadlessAdvanceTo(20000);
        benchmark::DoNotOptimize(HeadlessSoundLevel(0, 20000));
        state.counters["added_MB"] = ResidentMegabytes() - before;
        HeadlessReset();
    }
}
BENCHMARK(BM_MemoryOfAPlayingTune)->Iterations(1)->Unit(benchmark::kMillisecond);

// The soundfont alone, loaded as the synthesizer loads it: its samples come later, with the
// first program that needs them.
void BM_SoundFontLoad(benchmark::State& state)
{
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    for (auto _ : state) {
        fluid_synth_t* synth = new_fluid_synth(settings);
        const auto start = std::chrono::steady_clock::now();
        fluid_synth_sfload(synth, SynthChooseSoundFont().c_str(), 1);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        delete_fluid_synth(synth);
    }
    delete_fluid_settings(settings);
}
BENCHMARK(BM_SoundFontLoad)->UseManualTime()->Unit(benchmark::kMillisecond);

// Settings, synthesizer, soundfont and (headless) output: what a start does on the worker.
void BM_SynthesizerStart(benchmark::State& state)
{
    for (auto _ : state) {
        SynthStart(SynthChooseSoundFont());
        Synth synth;
        benchmark::DoNotOptimize(SynthTake(&synth));
        SynthClose(&synth);
    }
}
BENCHMARK(BM_SynthesizerStart)->Unit(benchmark::kMillisecond);

// One iteration renders one second of the tune.
void BM_SynthesisOfOneSecond(benchmark::State& state)
{
    HeadlessReset();
    mciSendStringA(kOpen.c_str(), nullptr, 0, nullptr);
    mciSendStringA(kPlay.c_str(), nullptr, 0, nullptr);
    uint64_t now = 0;
    double seconds = 0;
    for (auto _ : state) {
        now += 1000;
        HeadlessAdvanceTo(now);
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(HeadlessSoundLevel(now - 1000, now));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["core_percent"] = 100 * seconds / static_cast<double>(state.iterations());
    HeadlessReset();
}
// Within the tune's first play, which lasts 51 s.
BENCHMARK(BM_SynthesisOfOneSecond)->Iterations(50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
