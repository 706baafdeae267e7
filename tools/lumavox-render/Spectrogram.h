// A picture of the rendered sound for --spectrogram: time from left to right
// with a scale in seconds under it, frequency upwards with a scale in Hz at
// the left (log from 27.5 Hz, A0, to half the sample rate, with a labelled
// line at every A; or linear from 0 Hz, a labelled line every kHz or so), and
// the level in a black-purple-orange-yellow colour map from -100 to 0 dBFS,
// whose scale stands at the right. Both channels are mixed. Long renders are
// folded so that the picture stays at most kMaxColumns of sound wide (each
// column then shows the loudest of the frames it covers).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "tools/lumavox-render/SpectrumFft.h"

namespace render {

enum class FrequencyScale { Log, Linear };

class Spectrogram {
  public:
    static constexpr int kFftSize = 2048;
    static constexpr int kHop = 256;
    static constexpr int kRows = 512;
    static constexpr int kMaxColumns = 4096;
    static constexpr double kLowestLogFrequency = 27.5;
    static constexpr double kFloorDb = -100.0;
    // Where the sound lies in the picture: kRows high, columns() wide.
    static constexpr int kLeft = 60;
    static constexpr int kTop = 12;
    static constexpr int kBottom = 30;  // below the sound: the time scale
    static constexpr int kRight = 96;   // right of it: the colour scale

    Spectrogram(double sampleRate, FrequencyScale scale = FrequencyScale::Log);
    ~Spectrogram();
    void add(const float* interleaved, long frames, int channels);
    // The picture as a PNG file.
    std::vector<std::uint8_t> png() const;
    int columns() const { return static_cast<int>(levels_.size() / kRows); }
    // The frequency at the bottom edge of a row (0: the lowest), in Hz.
    double frequencyOfRow(double row) const;
    double secondsPerColumn() const;

  private:
    struct RowBins {
        int first;
        int last;        // == first: interpolate at position
        float position;  // in bins
    };
    void analyse();
    void pushColumn();

    double sampleRate_;
    FrequencyScale scale_;
    std::unique_ptr<SpectrumFft> fft_;
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
