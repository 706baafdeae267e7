#include "bench/BandSpectrogram.h"

#include <algorithm>
#include <cmath>

#include "modules/RealFft.h"
#include "platform/ImageCodec.h"

namespace bench {
namespace {

constexpr double kLowest = 100.0;
constexpr double kHighest = 12000.0;
constexpr double kFrameSeconds = 0.020;
constexpr int kFft = 4096;
constexpr int kPixelsPerFrame = 4;
constexpr int kPixelsPerBand = 12;

double edge(int i) {
    return std::min(kHighest, kLowest * std::pow(2.0, i / 3.0));
}

std::uint32_t heat(double t) {
    t = std::clamp(t, 0.0, 1.0);
    const auto c = [](double v) {
        return static_cast<std::uint32_t>(std::clamp(v, 0.0, 1.0) * 255);
    };
    return 0xFF000000u | c(3 * t) << 16 | c(3 * t - 1) << 8 | c(3 * t - 2);
}

}  // namespace

int BandSpectrogram::bands() {
    static const int count = [] {
        int i = 0;
        while (edge(i) < kHighest)
            ++i;
        return i;
    }();
    return count;
}

double BandSpectrogram::bandCentre(int band) {
    return std::sqrt(edge(band) * edge(band + 1));
}

BandSpectrogram::BandSpectrogram(const std::vector<float>& samples, double sampleRate) {
    const int length = static_cast<int>(std::lround(kFrameSeconds * sampleRate));
    frames_ = static_cast<int>(samples.size()) / length;
    db_.assign(static_cast<std::size_t>(frames_) * bands(), 0.0);
    std::vector<float> window(static_cast<std::size_t>(length));
    double windowPower = 0;
    for (int m = 0; m < length; ++m) {
        window[m] = static_cast<float>(0.5 - 0.5 * std::cos(2 * M_PI * (m + 0.5) / length));
        windowPower += double(window[m]) * window[m];
    }
    std::vector<int> binBand(kFft / 2, -1);
    for (int k = 1; k < kFft / 2; ++k) {
        const double hz = k * sampleRate / kFft;
        for (int b = 0; b < bands(); ++b)
            if (hz >= edge(b) && hz < edge(b + 1)) binBand[k] = b;
    }
    std::vector<float> block(kFft);
    for (int f = 0; f < frames_; ++f) {
        std::fill(block.begin(), block.end(), 0.f);
        for (int m = 0; m < length; ++m)
            block[m] = samples[static_cast<std::size_t>(f) * length + m] * window[m];
        fft::realFft(kFft, block.data());
        std::vector<double> energy(bands(), 0.0);
        for (int k = 1; k < kFft / 2; ++k) {
            if (binBand[k] < 0) continue;
            const double re = block[k], im = block[kFft - k];
            // Two sided, so that a band's sum is the frame's mean square there.
            energy[binBand[k]] += 2 * (re * re + im * im) / (windowPower * kFft);
        }
        for (int b = 0; b < bands(); ++b)
            db_[static_cast<std::size_t>(f) * bands() + b] = 10 * std::log10(energy[b] + 1e-30);
    }
}

double BandSpectrogram::loudest() const {
    return db_.empty() ? -300.0 : *std::max_element(db_.begin(), db_.end());
}

void BandSpectrogram::shift(double dB) {
    for (double& v : db_)
        v += dB;
}

void BandSpectrogram::limit(double floor) {
    for (double& v : db_)
        v = std::max(v, floor);
}

std::vector<unsigned char> BandSpectrogram::png(double floor, double top) const {
    const int width = std::max(1, frames_ * kPixelsPerFrame);
    const int height = bands() * kPixelsPerBand;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0xFF000000u);
    for (int f = 0; f < frames_; ++f)
        for (int b = 0; b < bands(); ++b) {
            const std::uint32_t colour = heat((db(f, b) - floor) / (top - floor));
            for (int y = 0; y < kPixelsPerBand; ++y)
                for (int x = 0; x < kPixelsPerFrame; ++x)
                    pixels[static_cast<std::size_t>(height - 1 - (b * kPixelsPerBand + y)) * width +
                           f * kPixelsPerFrame + x] = colour;
        }
    const auto bytes = platform::encodePng(pixels.data(), width, height);
    return {bytes.begin(), bytes.end()};
}

Comparison compare(const BandSpectrogram& original, const BandSpectrogram& copy, double floor) {
    Comparison result;
    const int frames = std::min(original.frames(), copy.frames());
    const int bands = BandSpectrogram::bands();
    if (frames == 0) return result;
    double sum = 0, litSum = 0;
    int lit = 0;
    for (int f = 0; f < frames; ++f)
        for (int b = 0; b < bands; ++b) {
            const double d = std::fabs(original.db(f, b) - copy.db(f, b));
            sum += d;
            if (original.db(f, b) > floor || copy.db(f, b) > floor) {
                litSum += d;
                ++lit;
            }
        }
    result.meanAbsDb = sum / (static_cast<double>(frames) * bands);
    if (lit) result.meanAbsDbLit = litSum / lit;
    double correlations = 0;
    for (int b = 0; b < bands; ++b) {
        double ma = 0, mb = 0;
        for (int f = 0; f < frames; ++f) {
            ma += original.db(f, b);
            mb += copy.db(f, b);
        }
        ma /= frames;
        mb /= frames;
        double sab = 0, saa = 0, sbb = 0;
        for (int f = 0; f < frames; ++f) {
            const double a = original.db(f, b) - ma, c = copy.db(f, b) - mb;
            sab += a * c;
            saa += a * a;
            sbb += c * c;
        }
        // A band that stays put (at the floor, or a steady tone) has no
        // envelope to correlate.
        if (saa < 1e-6 * frames || sbb < 1e-6 * frames) continue;
        correlations += sab / std::sqrt(saa * sbb);
        ++result.bandsCorrelated;
    }
    if (result.bandsCorrelated) result.envelopeCorrelation = correlations / result.bandsCorrelated;
    return result;
}

}  // namespace bench
