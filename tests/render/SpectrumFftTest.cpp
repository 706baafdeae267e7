#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "tools/lumavox-render/SmallFft.h"
#include "tools/lumavox-render/SpectrumFft.h"

namespace render {
namespace {

// The Windows build draws its spectrogram with SmallFft, the Linux build
// with FFTW (SpectrumFft): the two must agree, and both must put a sine in
// its bin at the expected height.
TEST(SpectrumFft, OurSmallFftAgreesWithTheSpectrumOfThisBuild) {
    const unsigned seed = 20240611;
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> noise(-1.f, 1.f);
    for (int size : {16, 1024, 2048, 8192}) {
        std::vector<float> frame(static_cast<std::size_t>(size));
        for (float& x : frame)
            x = noise(random);
        std::vector<float> ours(static_cast<std::size_t>(size / 2 + 1)), theirs(ours.size());
        SmallFft(size).magnitudes(frame.data(), ours.data());
        SpectrumFft(size).magnitudes(frame.data(), theirs.data());
        const float scale = *std::max_element(theirs.begin(), theirs.end());
        for (std::size_t k = 0; k < ours.size(); ++k)
            ASSERT_NEAR(ours[k], theirs[k], 1e-5f * scale)
                << "size " << size << ", bin " << k << ", seed " << seed;
    }
    std::vector<float> sine(1024), magnitudes(513);
    for (int i = 0; i < 1024; ++i)
        sine[static_cast<std::size_t>(i)] =
            0.5f * static_cast<float>(std::cos(2 * std::acos(-1.0) * 37 * i / 1024));
    SpectrumFft(1024).magnitudes(sine.data(), magnitudes.data());
    EXPECT_NEAR(magnitudes[37], 0.5f * 1024 / 2, 0.01f);
    EXPECT_NEAR(magnitudes[36], 0.f, 0.01f);
}

}  // namespace
}  // namespace render
