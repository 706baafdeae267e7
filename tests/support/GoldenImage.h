#pragma once

#include <cstdint>
#include <string>

namespace testsupport {

// Compares width x height pixels (their red, green and blue) with the
// golden PNG tests/golden/NAME.png. With LUMAVOX_UPDATE_GOLDEN=1 in the
// environment it writes the golden file instead. On a difference it writes
// the pixels as test-output/NAME.png beside the test, to look at, and
// returns a description of the first differences; empty when equal.
std::string compareWithGoldenImage(const std::string& name, const std::uint32_t* pixels, int width,
                                   int height);

}  // namespace testsupport
