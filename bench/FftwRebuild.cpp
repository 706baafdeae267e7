#include "bench/FftwRebuild.h"

#include <cstring>

namespace bench {

using audio::kTableLength;

FftwRebuild::FftwRebuild()
    : left_(fftwf_alloc_complex(kBins)),
      right_(fftwf_alloc_complex(kBins)),
      leftOut_(fftwf_alloc_real(kTableLength)),
      rightOut_(fftwf_alloc_real(kTableLength)),
      leftPlan_(fftwf_plan_dft_c2r_1d(kTableLength, left_, leftOut_, FFTW_MEASURE)),
      rightPlan_(fftwf_plan_dft_c2r_1d(kTableLength, right_, rightOut_, FFTW_MEASURE)) {}

FftwRebuild::~FftwRebuild() {
    fftwf_destroy_plan(leftPlan_);
    fftwf_destroy_plan(rightPlan_);
    fftwf_free(left_);
    fftwf_free(right_);
    fftwf_free(leftOut_);
    fftwf_free(rightOut_);
}

void FftwRebuild::run(const std::uint32_t* picture, const audio::RebuildSettings& settings,
                      audio::WaveTableSet& out) {
    audio::RowMap map;
    map.build(settings);
    // FFTW's c2r sums X_k e^(+i...), unnormalised: X_k = (p_k - i p_(n-k)) / n
    // gives the same wave as the instrument's half-complex inverse.
    constexpr float kScale = 1.f / kTableLength;
    for (int x = 0; x < audio::kPictureWidth; ++x) {
        std::memset(left_, 0, sizeof(fftwf_complex) * kBins);
        std::memset(right_, 0, sizeof(fftwf_complex) * kBins);
        audio::forEachPartial(map, picture, x, [&](int bin, float c, float s, float aL, float aR) {
            left_[bin][0] = c * aL * kScale;
            left_[bin][1] = s * aL * kScale;
            right_[bin][0] = c * aR * kScale;
            right_[bin][1] = s * aR * kScale;
        });
        fftwf_execute(leftPlan_);
        fftwf_execute(rightPlan_);
        float(*column)[2] = out.wave[x];
        for (int t = 0; t < kTableLength; ++t) {
            column[t][0] = leftOut_[t];
            column[t][1] = rightOut_[t];
        }
    }
    std::memset(out.wave[audio::kPictureWidth], 0, sizeof out.wave[audio::kPictureWidth]);
}

}  // namespace bench
