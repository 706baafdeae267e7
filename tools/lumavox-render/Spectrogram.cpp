#include "tools/lumavox-render/Spectrogram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/ImageCodec.h"
#include "tools/lumavox-render/PixelFont.h"

namespace render {
namespace {

// A full-scale sine through the Hann window peaks at a quarter of the size.
constexpr double kFullScaleMagnitude = Spectrogram::kFftSize / 4.0;
constexpr int kTextScale = 2;
constexpr std::uint32_t kBackground = 0x101014;
constexpr std::uint32_t kInk = 0xD8D8D8;
constexpr std::uint32_t kFaintInk = 0x808080;
constexpr int kBarWidth = 16;
constexpr int kBarGap = 10;

std::uint32_t colourOf(int level) {
    static const std::uint32_t kStops[] = {0x000004, 0x280B54, 0x65156E, 0x9F2A63,
                                           0xD44842, 0xF57D15, 0xFAC127, 0xFCFFA4};
    constexpr int kSpans = sizeof kStops / sizeof kStops[0] - 1;
    const double at = level / 255.0 * kSpans;
    const int i = std::min(static_cast<int>(at), kSpans - 1);
    const double t = at - i;
    std::uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        const double a = (kStops[i] >> shift) & 0xFF, b = (kStops[i + 1] >> shift) & 0xFF;
        out |= static_cast<std::uint32_t>(std::lround(a + (b - a) * t)) << shift;
    }
    return out;
}

// Lightens a pixel towards white by amount (0..1), keeping its colour visible.
void lighten(RgbPicture& p, int x, int y, double amount) {
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
    const std::uint32_t c = p.at(x, y);
    std::uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        const double v = (c >> shift) & 0xFF;
        out |= static_cast<std::uint32_t>(v + (255 - v) * amount) << shift;
    }
    p.set(x, y, out);
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

std::string hertz(double f) {
    return f >= 1000.0 ? number(f / 1000.0) + "k" : number(f);
}

// The smallest of 1, 2, 5 times a power of ten that is at least minimum.
double niceStep(double minimum) {
    double power = std::pow(10.0, std::floor(std::log10(minimum)));
    for (;; power *= 10.0)
        for (double m : {1.0, 2.0, 5.0})
            if (m * power >= minimum) return m * power;
}

}  // namespace

Spectrogram::Spectrogram(double sampleRate, FrequencyScale scale)
    : sampleRate_(sampleRate),
      scale_(scale),
      fft_(std::make_unique<SpectrumFft>(kFftSize)),
      window_(kFftSize),
      input_(kFftSize),
      pending_(kRows) {
    const double pi = std::acos(-1.0);
    for (int i = 0; i < kFftSize; ++i)
        window_[static_cast<std::size_t>(i)] =
            static_cast<float>(0.5 - 0.5 * std::cos(2.0 * pi * i / kFftSize));
    const double binHz = sampleRate / kFftSize;
    for (int row = 0; row < kRows; ++row) {
        const double low = frequencyOfRow(row) / binHz, high = frequencyOfRow(row + 1) / binHz;
        const double centre = frequencyOfRow(row + 0.5) / binHz;
        RowBins bins{static_cast<int>(std::ceil(low)), static_cast<int>(std::floor(high)),
                     static_cast<float>(centre)};
        if (bins.last <= bins.first) bins.first = bins.last = static_cast<int>(centre);
        bins.first = std::clamp(bins.first, 0, kFftSize / 2 - 1);
        bins.last = std::clamp(bins.last, 0, kFftSize / 2 - 1);
        rows_.push_back(bins);
    }
}

Spectrogram::~Spectrogram() = default;

double Spectrogram::frequencyOfRow(double row) const {
    const double nyquist = sampleRate_ / 2.0;
    if (scale_ == FrequencyScale::Linear) return nyquist * row / kRows;
    return kLowestLogFrequency * std::pow(nyquist / kLowestLogFrequency, row / kRows);
}

double Spectrogram::secondsPerColumn() const {
    return static_cast<double>(kHop) * framesPerColumn_ / sampleRate_;
}

void Spectrogram::add(const float* interleaved, long frames, int channels) {
    for (long i = 0; i < frames; ++i) {
        float sum = 0.f;
        for (int c = 0; c < channels; ++c)
            sum += interleaved[i * channels + c];
        input_[static_cast<std::size_t>(filled_++)] = sum / static_cast<float>(channels);
        if (filled_ == kFftSize) {
            analyse();
            std::copy(input_.begin() + kHop, input_.end(), input_.begin());
            filled_ -= kHop;
        }
    }
}

void Spectrogram::analyse() {
    float data[kFftSize];
    for (int i = 0; i < kFftSize; ++i)
        data[i] = input_[static_cast<std::size_t>(i)] * window_[static_cast<std::size_t>(i)];
    float magnitude[kFftSize / 2 + 1];
    fft_->magnitudes(data, magnitude);
    for (int row = 0; row < kRows; ++row) {
        const RowBins& bins = rows_[static_cast<std::size_t>(row)];
        float m;
        if (bins.first == bins.last) {
            const int k = std::clamp(static_cast<int>(bins.position), 0, kFftSize / 2 - 1);
            const float t = std::clamp(bins.position - static_cast<float>(k), 0.f, 1.f);
            m = magnitude[k] + (magnitude[k + 1] - magnitude[k]) * t;
        } else {
            m = *std::max_element(magnitude + bins.first, magnitude + bins.last + 1);
        }
        const double db = 20.0 * std::log10(std::max(m / kFullScaleMagnitude, 1e-12));
        const int level =
            static_cast<int>(std::lround(std::clamp((db - kFloorDb) / -kFloorDb, 0.0, 1.0) * 255));
        std::uint8_t& slot = pending_[static_cast<std::size_t>(row)];
        slot = std::max(slot, static_cast<std::uint8_t>(level));
    }
    if (++pendingFrames_ == framesPerColumn_) pushColumn();
}

void Spectrogram::pushColumn() {
    levels_.insert(levels_.end(), pending_.begin(), pending_.end());
    std::fill(pending_.begin(), pending_.end(), 0);
    pendingFrames_ = 0;
    if (columns() < kMaxColumns) return;
    // Fold pairs of columns into one, and make every later column cover twice as many frames.
    const int half = columns() / 2;
    for (int c = 0; c < half; ++c)
        for (int r = 0; r < kRows; ++r)
            levels_[static_cast<std::size_t>(c) * kRows + r] =
                std::max(levels_[static_cast<std::size_t>(2 * c) * kRows + r],
                         levels_[static_cast<std::size_t>(2 * c + 1) * kRows + r]);
    levels_.resize(static_cast<std::size_t>(half) * kRows);
    framesPerColumn_ *= 2;
}

std::vector<std::uint8_t> Spectrogram::png() const {
    const int sound = std::max(columns(), 1);
    RgbPicture p(kLeft + sound + kRight, kTop + kRows + kBottom, kBackground);
    const int bottom = kTop + kRows - 1;  // the picture row of sound row 0
    const int textHeight = 5 * kTextScale;
    for (int c = 0; c < columns(); ++c)
        for (int r = 0; r < kRows; ++r)
            p.set(kLeft + c, bottom - r,
                  colourOf(levels_[static_cast<std::size_t>(c) * kRows + r]));

    // Frequency: lines across the sound, labels at the left, the unit on top.
    std::vector<double> lines;
    const double nyquist = sampleRate_ / 2.0;
    if (scale_ == FrequencyScale::Log) {
        for (double f = 2 * kLowestLogFrequency; f < nyquist; f *= 2.0)
            lines.push_back(f);
    } else {
        const double step = niceStep(nyquist / 12.0);
        for (double f = step; f < nyquist; f += step)
            lines.push_back(f);
    }
    for (double f : lines) {
        const double row = scale_ == FrequencyScale::Log
                               ? std::log(f / kLowestLogFrequency) /
                                     std::log(nyquist / kLowestLogFrequency) * kRows
                               : f / nyquist * kRows;
        const int y = bottom - static_cast<int>(row);
        for (int x = kLeft; x < kLeft + sound; ++x)
            lighten(p, x, y, 0.3);
        for (int x = kLeft - 4; x < kLeft; ++x)
            p.set(x, y, kInk);
        const std::string label = hertz(f);
        drawText(p, kLeft - 6 - textWidth(label, kTextScale), y - textHeight / 2, label, kTextScale,
                 kInk);
    }
    drawText(p, kLeft - 6 - textWidth("Hz", kTextScale), 1, "Hz", kTextScale, kFaintInk);

    // Time: ticks and labels under the sound, far enough apart to read.
    const double perColumn = secondsPerColumn();
    const double step = niceStep(56.0 * perColumn);
    for (int i = 0;; ++i) {
        const double t = i * step;
        const int x = kLeft + static_cast<int>(std::lround(t / perColumn));
        if (x >= kLeft + sound) break;
        for (int y = bottom + 1; y < bottom + 5; ++y)
            p.set(x, y, kInk);
        const std::string label = number(t) + (i == 0 ? " s" : "");
        drawText(p, i == 0 ? x : x - textWidth(number(t), kTextScale) / 2, bottom + 8, label,
                 kTextScale, kInk);
    }

    // Colour scale: the map from 0 dB at the top to the floor at the bottom.
    const int barLeft = kLeft + sound + kBarGap;
    for (int y = 0; y < kRows; ++y) {
        const int level = static_cast<int>(std::lround((kRows - 1 - y) * 255.0 / (kRows - 1)));
        for (int x = barLeft; x < barLeft + kBarWidth; ++x)
            p.set(x, kTop + y, colourOf(level));
    }
    for (double db = 0.0; db >= kFloorDb; db -= 20.0) {
        const int y = kTop + static_cast<int>(std::lround(db / kFloorDb * (kRows - 1)));
        for (int x = barLeft + kBarWidth; x < barLeft + kBarWidth + 4; ++x)
            p.set(x, y, kInk);
        drawText(p, barLeft + kBarWidth + 7, y - textHeight / 2, number(db), kTextScale, kInk);
    }
    drawText(p, barLeft, 1, "dB", kTextScale, kFaintInk);

    return platform::encodePng(p.pixels.data(), p.width, p.height);
}

}  // namespace render
