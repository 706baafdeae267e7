#pragma once

#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Two channels of 32-bit float samples at a sample rate: what the tests
// render, listen to and keep as reference data.
struct StereoSignal {
    std::vector<float> left, right;
    int sampleRate = 44100;
};

// A stereo 32-bit float WAV file; false when it could not be written.
bool writeFloatWav(const std::string& path, const StereoSignal& signal);
// What writeFloatWav wrote; nullopt for a missing file or any other format.
std::optional<StereoSignal> readFloatWav(const std::string& path);

}  // namespace testsupport
