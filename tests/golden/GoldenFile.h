// Reference renders kept in the repository (tests/golden/NAME.wav) and the
// comparison with them.
//
// Tolerance: per channel, the difference from the reference must stay 80 dB
// below the reference (an RMS ratio of 1e-4) and no sample may differ by more
// than 1e-3 of full scale. A change in float rounding alone (additions in
// another order, a vectorised loop, another FFT path) stays far below both; a
// change anyone could hear (a level, a pitch, a time shifted by one sample,
// another picture) fails them.
//
// LUMAVOX_UPDATE_GOLDEN=1 rewrites the references instead of comparing:
//   LUMAVOX_UPDATE_GOLDEN=1 build/linux/tests/lumavox_golden_tests
// On a failure the render is written beside its reference as NAME.actual.wav,
// with pictures of both (NAME.actual.png, NAME.reference.png), to be heard
// and seen; they are not kept by git.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/WavFile.h"

namespace golden {

constexpr double kMaxRmsRatio = 1e-4;
constexpr double kMaxSampleError = 1e-3;

testing::AssertionResult matchesReference(const std::string& name,
                                          const testsupport::StereoSignal& render);

}  // namespace golden
