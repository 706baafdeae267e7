// Rendering and instance costs of the whole instrument, called directly (for
// profiling the code under them); HostBench.cpp measures the same through the
// plug-in's binary interface, as a host sees them.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "instrument/Lumavox.h"
#include "tests/support/TestSynth.h"

namespace {

using testsupport::EventList;
using testsupport::midiEvent;

constexpr int kRate = 44100;
constexpr int kBlock = 512;

void BM_RenderEightVoicesAllEffects(benchmark::State& state) {
    lumavox::Lumavox synth(nullptr);
    auto set = [&](const char* name, float v) {
        synth.setParameter(synth.parameterIndex(name), v);
    };
    set("DlyLv", 0.5f);
    set("DlyFbk", 0.5f);
    set("ChrsLv", 0.5f);
    set("RevLevel", 0.5f);
    set("RevTime", 0.5f);
    set("Drive", 0.2f);
    set("Fat", 0.5f);
    set("Tempo", 0.3f);
    {
        std::mt19937 rng(3);
        auto access = synth.spectrogram().pictures();
        for (int i = 0; i < audio::kPicturePixels; ++i)
            access.current()[i] = rng() & 0x00FFFFFF;
        access.rebuild();
    }
    EventList notes;
    for (int k = 0; k < 8; ++k)
        notes.add(midiEvent(k, 0x90, 48 + 3 * k, 100));
    synth.processEvents(notes.get());
    std::vector<float> left(kBlock), right(kBlock);
    float* out[2] = {left.data(), right.data()};
    for (int i = 0; i < 100; ++i)
        synth.processReplacing(nullptr, out, kBlock);  // notes on
    for (auto _ : state) {
        synth.processReplacing(nullptr, out, kBlock);
        benchmark::DoNotOptimize(left[7]);
    }
    int sounding = 0;
    for (int v = 0; v < 8; ++v)
        sounding += synth.voices().active[v];
    state.counters["voices"] = sounding;
    state.counters["x real time"] = benchmark::Counter(
        static_cast<double>(kBlock) / kRate, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RenderEightVoicesAllEffects);

void BM_CreateAndDestroyInstance(benchmark::State& state) {
    for (auto _ : state) {
        lumavox::Lumavox synth(nullptr);
        benchmark::DoNotOptimize(synth.getAeffect());
    }
}
BENCHMARK(BM_CreateAndDestroyInstance)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
