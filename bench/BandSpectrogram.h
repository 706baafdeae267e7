// The yardstick of the analysis benchmark: a log-magnitude spectrogram in
// 1/3-octave bands (edges 100 x 2^(i/3) Hz from 100 Hz, the last band closed
// at 12 kHz) over 20 ms frames (Hann window, no overlap), and the two
// figures that compare one such spectrogram with another.
#pragma once

#include <string>
#include <vector>

namespace bench {

class BandSpectrogram {
  public:
    BandSpectrogram(const std::vector<float>& samples, double sampleRate);

    int frames() const { return frames_; }
    static int bands();
    static double bandCentre(int band);
    // Band energy in dB (mean square of the frame's band, 10 log10).
    double db(int frame, int band) const { return db_[frame * bands() + band]; }
    double loudest() const;

    // Adds dB to every value (a level the analysis reported it applied).
    void shift(double dB);
    // Values below floor become floor: silence compares as the floor.
    void limit(double floor);
    // A picture of it: time to the right, low bands at the bottom, the
    // range floor..top in a heat scale; PNG bytes.
    std::vector<unsigned char> png(double floor, double top) const;

  private:
    int frames_ = 0;
    std::vector<double> db_;
};

struct Comparison {
    double meanAbsDb = 0.0;            // over every frame and band
    double meanAbsDbLit = 0.0;         // over those where either is above the floor
    double envelopeCorrelation = 0.0;  // mean over bands of the correlation in time
    int bandsCorrelated = 0;           // bands whose envelope moves in both
};

// Over the frames both have; floor as given to limit().
Comparison compare(const BandSpectrogram& original, const BandSpectrogram& copy, double floor);

}  // namespace bench
