// A picture of the rendered sound for --spectrogram: time from left to right,
// frequency upwards on a log scale from 27.5 Hz (A0) to half the sample rate,
// with a line and a label at every A from 55 Hz, and level in a
// black-purple-orange-yellow colour map from -100 dBFS to 0 dBFS. Both
// channels are mixed. Long renders are folded so the picture stays at most
// kMaxColumns wide (each column then shows the loudest of the frames it
// covers).
#pragma once

#include <cstdint>
#include <vector>

namespace render {

class Spectrogram {
  public:
    static constexpr int kFftSize = 1024;
    static constexpr int kHop = 256;
    static constexpr int kRows = 512;
    static constexpr int kMaxColumns = 4096;

    explicit Spectrogram(double sampleRate);
    void add(const float* interleaved, long frames, int channels);
    // The picture as a PNG file.
    std::vector<std::uint8_t> png() const;
    int columns() const { return static_cast<int>(levels_.size() / kRows); }

  private:
    struct RowBins {
        int first;
        int last;        // == first: interpolate at position
        float position;  // in bins
    };
    void analyse();
    void pushColumn();
    double frequencyOfRow(double row) const;

    double sampleRate_;
    std::vector<RowBins> rows_;
    std::vector<float> window_;
    std::vector<float> input_;
    int filled_ = 0;
    std::vector<std::uint8_t> pending_;
    int pendingFrames_ = 0;
    int framesPerColumn_ = 1;
    std::vector<std::uint8_t> levels_;  // kRows per column, bottom row first
};

}  // namespace render
