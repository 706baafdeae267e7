#include "tools/lumavox-render/Spectrogram.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "modules/RealFft.h"

namespace render {
namespace {

constexpr double kLowestFrequency = 27.5;
constexpr double kFloorDb = -100.0;
// A full-scale sine through the Hann window peaks at a quarter of the size.
constexpr double kFullScaleMagnitude = Spectrogram::kFftSize / 4.0;

struct Rgb {
    std::uint8_t r, g, b;
};

Rgb colourOf(int level) {
    static const Rgb kStops[] = {{0, 0, 4},     {40, 11, 84},   {101, 21, 110}, {159, 42, 99},
                                 {212, 72, 66}, {245, 125, 21}, {250, 193, 39}, {252, 255, 164}};
    constexpr int kSpans = sizeof kStops / sizeof kStops[0] - 1;
    const double at = level / 255.0 * kSpans;
    const int i = std::min(static_cast<int>(at), kSpans - 1);
    const double t = at - i;
    const auto mix = [t](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
    };
    return {mix(kStops[i].r, kStops[i + 1].r), mix(kStops[i].g, kStops[i + 1].g),
            mix(kStops[i].b, kStops[i + 1].b)};
}

// Digits 3 pixels wide and 5 high, one row per 3 bits, top row first.
const std::uint16_t kDigits[10] = {075557, 026227, 071747, 071717, 055711,
                                   074717, 074757, 071111, 075757, 075717};

class Canvas {
  public:
    Canvas(int width, int height)
        : width_(width), height_(height), rgb_(static_cast<std::size_t>(width) * height * 3) {}
    void set(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        std::uint8_t* p = &rgb_[(static_cast<std::size_t>(y) * width_ + x) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    // Lightens the pixel towards white by amount (0..1), keeping the colour visible.
    void lighten(int x, int y, double amount) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        std::uint8_t* p = &rgb_[(static_cast<std::size_t>(y) * width_ + x) * 3];
        for (int k = 0; k < 3; ++k)
            p[k] = static_cast<std::uint8_t>(p[k] + (255 - p[k]) * amount);
    }
    void text(int x, int y, const std::string& digits) {
        for (char c : digits) {
            const std::uint16_t glyph = kDigits[c - '0'];
            for (int row = 0; row < 5; ++row)
                for (int col = 0; col < 3; ++col)
                    if (glyph & (1 << ((4 - row) * 3 + (2 - col))))
                        set(x + col, y + row, {255, 255, 255});
            x += 4;
        }
    }
    const std::vector<std::uint8_t>& rgb() const { return rgb_; }

  private:
    int width_;
    int height_;
    std::vector<std::uint8_t> rgb_;
};

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

Spectrogram::Spectrogram(double sampleRate)
    : sampleRate_(sampleRate), window_(kFftSize), input_(kFftSize), pending_(kRows) {
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

double Spectrogram::frequencyOfRow(double row) const {
    return kLowestFrequency * std::pow(sampleRate_ / 2.0 / kLowestFrequency, row / kRows);
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
    fft::realFft(kFftSize, data);
    float magnitude[kFftSize / 2 + 1];
    magnitude[0] = std::fabs(data[0]);
    for (int k = 1; k < kFftSize / 2; ++k)
        magnitude[k] = std::hypot(data[k], data[kFftSize - k]);
    magnitude[kFftSize / 2] = std::fabs(data[kFftSize / 2]);
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
    const int width = std::max(columns(), 1);
    Canvas canvas(width, kRows);
    for (int c = 0; c < columns(); ++c)
        for (int r = 0; r < kRows; ++r)
            canvas.set(c, kRows - 1 - r,
                       colourOf(levels_[static_cast<std::size_t>(c) * kRows + r]));

    // Octave lines at every A, labelled in Hz.
    for (double f = 55.0; f < sampleRate_ / 2.0; f *= 2.0) {
        const double row =
            std::log(f / kLowestFrequency) / std::log(sampleRate_ / 2.0 / kLowestFrequency) * kRows;
        const int y = kRows - 1 - static_cast<int>(row);
        for (int x = 0; x < width; ++x)
            canvas.lighten(x, y, 0.35);
        canvas.text(2, y - 6, std::to_string(static_cast<long>(f)));
    }
    // A tick at every second along the bottom, longer at every tenth.
    const double secondsPerColumn = static_cast<double>(kHop) * framesPerColumn_ / sampleRate_;
    for (int s = 1; s * 1.0 / secondsPerColumn < width; ++s) {
        const int x = static_cast<int>(s / secondsPerColumn);
        for (int y = 0; y < (s % 10 == 0 ? 8 : 4); ++y)
            canvas.lighten(x, kRows - 1 - y, 0.8);
    }

    std::vector<std::uint8_t> file;
    stbi_write_png_to_func(appendBytes, &file, width, kRows, 3, canvas.rgb().data(), width * 3);
    return file;
}

}  // namespace render
