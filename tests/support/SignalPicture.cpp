#include "tests/support/SignalPicture.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>

#include "modules/RealFft.h"
#include "platform/ImageCodec.h"

namespace testsupport {
namespace {

constexpr int kFrameSize = 1024;
constexpr int kMaxColumns = 512;
constexpr int kWaveRows = 128;
constexpr int kBinRows = 256;  // two bins a row

// Black through blue, red and yellow to white, for 0..1.
std::uint32_t heat(float x) {
    x = std::clamp(x, 0.f, 1.f);
    const auto channel = [x](float from, float to) {
        return static_cast<std::uint32_t>(std::clamp((x - from) / (to - from), 0.f, 1.f) * 255.f);
    };
    const std::uint32_t blue = x < 0.5f ? channel(0.f, 0.25f) : 255 - channel(0.5f, 0.75f);
    return 0xFF000000u | channel(0.25f, 0.5f) << 16 | channel(0.5f, 0.75f) << 8 |
           std::max(blue, channel(0.75f, 1.f));
}

void drawSpectrogram(const std::vector<float>& samples, int hop, SignalPicture& picture, int top) {
    std::vector<float> window(kFrameSize), frame(kFrameSize);
    for (int i = 0; i < kFrameSize; ++i)
        window[static_cast<std::size_t>(i)] =
            0.5f -
            0.5f * std::cos(2.f * std::numbers::pi_v<float> * static_cast<float>(i) / kFrameSize);
    for (int x = 0; x < picture.width; ++x) {
        const std::size_t start = static_cast<std::size_t>(x) * static_cast<std::size_t>(hop);
        for (std::size_t i = 0; i < kFrameSize; ++i)
            frame[i] = start + i < samples.size() ? samples[start + i] * window[i] : 0.f;
        fft::realFft(kFrameSize, frame.data());
        for (int row = 0; row < kBinRows; ++row) {
            float power = 0.f;
            for (int bin = 2 * row + 1; bin <= 2 * row + 2 && bin < kFrameSize / 2; ++bin) {
                const float re = frame[static_cast<std::size_t>(bin)];
                const float im = frame[static_cast<std::size_t>(kFrameSize - bin)];
                power = std::max(power, re * re + im * im);
            }
            // Full scale: a sine of amplitude 1 under the Hann window.
            const float db = 10.f * std::log10(power / (kFrameSize * kFrameSize / 16.f) + 1e-20f);
            const int y = top + kBinRows - 1 - row;
            picture.pixels[static_cast<std::size_t>(y * picture.width + x)] =
                heat((db + 100.f) / 100.f);
        }
    }
}

}  // namespace

SignalPicture drawSignal(const StereoSignal& signal) {
    SignalPicture picture;
    const int frames = static_cast<int>(signal.left.size());
    const int hop = std::max(1, (frames + kMaxColumns - 1) / kMaxColumns);
    picture.width = std::max(1, (frames + hop - 1) / hop);
    picture.height = kWaveRows + 2 * kBinRows;
    picture.pixels.assign(static_cast<std::size_t>(picture.width * picture.height), 0xFF000000u);
    for (int x = 0; x < picture.width; ++x) {
        float peaks[2] = {};
        for (int i = x * hop; i < std::min(frames, (x + 1) * hop); ++i) {
            peaks[0] = std::max(peaks[0], std::fabs(signal.left[static_cast<std::size_t>(i)]));
            peaks[1] = std::max(peaks[1], std::fabs(signal.right[static_cast<std::size_t>(i)]));
        }
        for (int c = 0; c < 2; ++c) {
            const int rows = static_cast<int>(std::min(peaks[c], 1.f) * (kWaveRows - 1));
            for (int r = 0; r <= rows; ++r)
                picture.pixels[static_cast<std::size_t>((kWaveRows - 1 - r) * picture.width + x)] |=
                    c == 0 ? 0x00FF0000u : 0x0000FF00u;
        }
    }
    drawSpectrogram(signal.left, hop, picture, kWaveRows);
    drawSpectrogram(signal.right, hop, picture, kWaveRows + kBinRows);
    return picture;
}

bool writeSignalPng(const std::string& path, const StereoSignal& signal) {
    const SignalPicture picture = drawSignal(signal);
    const std::vector<std::uint8_t> png =
        platform::encodePng(picture.pixels.data(), picture.width, picture.height);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(file);
}

}  // namespace testsupport
