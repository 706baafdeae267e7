#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/WavFile.h"

namespace testsupport {

// A picture of a stereo signal for a person comparing two renders: on top
// the waveform (left red, right green, peak per column), below it the
// spectrogram of the left and then of the right channel (1024-point frames,
// low frequencies at the bottom, -100 dB to 0 dB from black to white); at
// most 512 columns, however long the signal.
struct SignalPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, rows from the top
};
SignalPicture drawSignal(const StereoSignal& signal);

// The picture as a PNG file; false when it could not be written.
bool writeSignalPng(const std::string& path, const StereoSignal& signal);

}  // namespace testsupport
