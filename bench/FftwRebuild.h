// The wave-table rebuild done with FFTW's inverse real transforms (c2r,
// planned once with FFTW_MEASURE): the reference that the instrument's own
// rebuild is measured against. It fills its spectra through the same partial
// walk as the instrument and writes FFTW's complex layout directly, so it
// pays no conversion. FFTW is linked by the benchmarks only.
#pragma once

#include <fftw3.h>

#include <cstdint>

#include "modules/SpectralRebuild.h"

namespace bench {

class FftwRebuild {
  public:
    FftwRebuild();
    ~FftwRebuild();
    FftwRebuild(const FftwRebuild&) = delete;
    FftwRebuild& operator=(const FftwRebuild&) = delete;

    // Every column of picture (512 x 512, top-down) into out.
    void run(const std::uint32_t* picture, const audio::RebuildSettings& settings,
             audio::WaveTableSet& out);

  private:
    static constexpr int kBins = audio::kTableLength / 2 + 1;
    fftwf_complex* left_;
    fftwf_complex* right_;
    float* leftOut_;
    float* rightOut_;
    fftwf_plan leftPlan_;
    fftwf_plan rightPlan_;
};

}  // namespace bench
