// A full wave-table rebuild of a busy picture (noise in every pixel), beside
// the same rebuild with FFTW's inverse real transforms (FftwRebuild.h). This
// times the inner function only; HostBench times what a host sees.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "bench/FftwRebuild.h"
#include "modules/SpectralRebuild.h"

namespace {

std::vector<std::uint32_t> noisePicture() {
    std::mt19937 rng(7);
    std::vector<std::uint32_t> picture(audio::kPicturePixels);
    for (auto& p : picture)
        p = rng() & 0x00FFFFFF;
    return picture;
}

// Tune 0.5, Range 1 (every row its own bin), linear, Fat 0.5 (phases spread).
audio::RebuildSettings busySettings() {
    return {0.5f, 1.f, 0.f, 0.5f, 0.f, 1.f};
}

void BM_Rebuild(benchmark::State& state) {
    const auto picture = noisePicture();
    auto tables = std::make_unique<audio::WaveTableSet>();
    for (auto _ : state) {
        audio::rebuildWaveTables(picture.data(), busySettings(), *tables);
        benchmark::DoNotOptimize(tables->wave[100][7][0]);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Rebuild)->Unit(benchmark::kMillisecond);

void BM_RebuildWithFftw(benchmark::State& state) {
    const auto picture = noisePicture();
    auto tables = std::make_unique<audio::WaveTableSet>();
    bench::FftwRebuild fftw;
    for (auto _ : state) {
        fftw.run(picture.data(), busySettings(), *tables);
        benchmark::DoNotOptimize(tables->wave[100][7][0]);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RebuildWithFftw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
