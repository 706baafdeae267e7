// The wave-table rebuild's transforms against FFTW's single-precision real
// inverse (c2r, planned once with FFTW_MEASURE outside the timed loop). FFTW
// is linked here only, never into the plug-in.
//
// Items are 1024-point real transforms, so items/second compare directly and
// the pair counts two. The bar: the pair costs at most about 1.3x two c2r.
//
// FFTW's c2r takes n/2 + 1 interleaved complex bins, not our half-complex
// layout; converting would not change the work, so the benchmark feeds it
// the same random values without converting. Every transform here works in
// place or destroys its input, so each iteration restores the input from a
// copy (a few KB on every side); otherwise repeated inverse transforms decay
// towards denormals and time those.
#include <fftw3.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "modules/RealFft.h"

namespace {

constexpr int kSize = 1024;
constexpr int kBins = kSize / 2 + 1;

std::vector<float> randomValues(int count, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> value(-1.f, 1.f);
    std::vector<float> v(count);
    for (float& x : v)
        x = value(rng);
    return v;
}

void BM_LumavoxInverse(benchmark::State& state) {
    const std::vector<float> spectrum = randomValues(kSize, 1);
    std::vector<float> data(kSize);
    for (auto _ : state) {
        std::copy(spectrum.begin(), spectrum.end(), data.begin());
        fft::inverseRealFft(kSize, data.data());
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LumavoxInverse);

void BM_LumavoxInversePair(benchmark::State& state) {
    const std::vector<float> leftSpectrum = randomValues(kSize, 1);
    const std::vector<float> rightSpectrum = randomValues(kSize, 2);
    std::vector<float> left(kSize), right(kSize);
    for (auto _ : state) {
        std::copy(leftSpectrum.begin(), leftSpectrum.end(), left.begin());
        std::copy(rightSpectrum.begin(), rightSpectrum.end(), right.begin());
        fft::inverseRealFftPair(kSize, left.data(), right.data());
        benchmark::DoNotOptimize(left.data());
        benchmark::DoNotOptimize(right.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_LumavoxInversePair);

void BM_LumavoxForward(benchmark::State& state) {
    const std::vector<float> signal = randomValues(kSize, 3);
    std::vector<float> data(kSize);
    for (auto _ : state) {
        std::copy(signal.begin(), signal.end(), data.begin());
        fft::realFft(kSize, data.data());
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LumavoxForward);

// One planned c2r and the buffers it runs on; the buffers come from
// fftwf_malloc so that fftwf_execute_dft_c2r may reuse the plan on the second.
struct FftwInverse {
    static constexpr int kChannels = 2;
    float* spectrum[kChannels];
    float* samples[kChannels];
    fftwf_plan plan;

    FftwInverse() {
        for (int c = 0; c < kChannels; ++c) {
            spectrum[c] = static_cast<float*>(fftwf_malloc(sizeof(float) * 2 * kBins));
            samples[c] = static_cast<float*>(fftwf_malloc(sizeof(float) * kSize));
        }
        plan = fftwf_plan_dft_c2r_1d(kSize, reinterpret_cast<fftwf_complex*>(spectrum[0]),
                                     samples[0], FFTW_MEASURE);
    }
    ~FftwInverse() {
        fftwf_destroy_plan(plan);
        for (int c = 0; c < kChannels; ++c) {
            fftwf_free(spectrum[c]);
            fftwf_free(samples[c]);
        }
    }
    FftwInverse(const FftwInverse&) = delete;
    FftwInverse& operator=(const FftwInverse&) = delete;

    void run(int channel, const std::vector<float>& input) {
        std::copy(input.begin(), input.end(), spectrum[channel]);
        fftwf_execute_dft_c2r(plan, reinterpret_cast<fftwf_complex*>(spectrum[channel]),
                              samples[channel]);
    }
};

void BM_FftwInverse(benchmark::State& state) {
    FftwInverse fftw;
    const std::vector<float> input = randomValues(2 * kBins, 1);
    for (auto _ : state) {
        fftw.run(0, input);
        benchmark::DoNotOptimize(fftw.samples[0]);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FftwInverse);

void BM_FftwInverseTwice(benchmark::State& state) {
    FftwInverse fftw;
    const std::vector<float> left = randomValues(2 * kBins, 1);
    const std::vector<float> right = randomValues(2 * kBins, 2);
    for (auto _ : state) {
        fftw.run(0, left);
        fftw.run(1, right);
        benchmark::DoNotOptimize(fftw.samples[0]);
        benchmark::DoNotOptimize(fftw.samples[1]);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(BM_FftwInverseTwice);

}  // namespace

BENCHMARK_MAIN();
