// A full wave-table rebuild of a busy picture (noise in every pixel), beside
// the same rebuild with FFTW's inverse real transforms (c2r, planned once
// with FFTW_MEASURE). Both fill their spectra through the same partial walk;
// the FFTW side writes its own complex layout directly, so it pays no
// conversion. The bar: ours at most 1.5 times the FFTW one.
#include <fftw3.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "modules/SpectralRebuild.h"

namespace {

using audio::kTableLength;

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
    constexpr int kBins = kTableLength / 2 + 1;
    auto* left = fftwf_alloc_complex(kBins);
    auto* right = fftwf_alloc_complex(kBins);
    float* leftOut = fftwf_alloc_real(kTableLength);
    float* rightOut = fftwf_alloc_real(kTableLength);
    fftwf_plan leftPlan = fftwf_plan_dft_c2r_1d(kTableLength, left, leftOut, FFTW_MEASURE);
    fftwf_plan rightPlan = fftwf_plan_dft_c2r_1d(kTableLength, right, rightOut, FFTW_MEASURE);
    const audio::RebuildSettings settings = busySettings();
    for (auto _ : state) {
        audio::RowMap map;
        map.build(settings);
        // FFTW's c2r sums X_k e^(+i...), unnormalised: X_k = (p_k - i p_(n-k)) / n
        // gives the same wave as our half-complex inverse.
        constexpr float kScale = 1.f / kTableLength;
        for (int x = 0; x < audio::kPictureWidth; ++x) {
            std::memset(left, 0, sizeof(fftwf_complex) * kBins);
            std::memset(right, 0, sizeof(fftwf_complex) * kBins);
            audio::forEachPartial(map, picture.data(), x, settings.fat,
                                  [&](int bin, float c, float s, float aL, float aR) {
                                      left[bin][0] = c * aL * kScale;
                                      left[bin][1] = s * aL * kScale;
                                      right[bin][0] = c * aR * kScale;
                                      right[bin][1] = s * aR * kScale;
                                  });
            fftwf_execute(leftPlan);
            fftwf_execute(rightPlan);
            float(*column)[2] = tables->wave[x];
            for (int t = 0; t < kTableLength; ++t) {
                column[t][0] = leftOut[t];
                column[t][1] = rightOut[t];
            }
        }
        benchmark::DoNotOptimize(tables->wave[100][7][0]);
    }
    state.SetItemsProcessed(state.iterations());
    fftwf_destroy_plan(leftPlan);
    fftwf_destroy_plan(rightPlan);
    fftwf_free(left);
    fftwf_free(right);
    fftwf_free(leftOut);
    fftwf_free(rightOut);
}
BENCHMARK(BM_RebuildWithFftw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
