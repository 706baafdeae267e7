#include "modules/WaveDisplay.h"

#include <cstring>

#include "modules/RealFft.h"
#include "modules/SharedMath.h"

namespace audio {

// The audio thread draws into the slots: their pages are mapped here.
WaveDisplay::WaveDisplay(ModuleHost& host) : slots_(host, 3, ZeroedArray<Picture>::Pages::Now) {
    for (int s = 0; s < 3; ++s)
        math::wordFill(slots_[s].pixels, kBackground, kPicturePixels);
}

const std::uint32_t* WaveDisplay::latest() {
    bool fresh = false;
    return latest(fresh);
}

const std::uint32_t* WaveDisplay::latest(bool& fresh) {
    fresh = handOver_.update();
    return slots_[handOver_.front()].pixels;
}

void WaveDisplay::feed(const StereoBuffer& finalOutput, int frames, DisplayMode mode) noexcept {
    if (mode == DisplayMode::Off) return;
    for (int k = 0; k < frames; ++k) {
        buffer_[writeIndex_] = finalOutput.left(k) + finalOutput.right(k);
        if (writeIndex_ == kSamples - 1) {
            std::uint32_t* picture = slots_[handOver_.back()].pixels;
            if (mode == DisplayMode::Scope)
                drawScope(picture);
            else
                drawSpectrum(picture, slots_[handOver_.lastPublished()].pixels);
            handOver_.publish();
        }
        writeIndex_ = (writeIndex_ + 1) % kSamples;
    }
}

// A yellow trace of the first 512 samples, from the middle row, joining each
// column to the last so that steep edges stay visible.
void WaveDisplay::drawScope(std::uint32_t* picture) const noexcept {
    math::wordFill(picture, kBackground, kPicturePixels);
    auto set = [picture](int x, int row) { picture[row * kPictureWidth + x] = kScopeColour; };
    int previous = kPictureHeight / 2;
    for (int x = 0; x < kPictureWidth; ++x) {
        float v = buffer_[x] * 256.f + 256.f;
        if (!(v >= 0.f)) v = 0.f;  // NaN too
        if (v > 511.f) v = 511.f;
        const int y = static_cast<int>(v);
        while (previous > y)
            set(x, previous--);
        while (previous < y)
            set(x, previous++);
        if (previous != kPictureHeight / 2) set(x, previous);
    }
}

// Scrolls the previous picture one pixel to the left and paints the new
// spectrum into the right-hand column, bin 0 at the bottom.
void WaveDisplay::drawSpectrum(std::uint32_t* picture,
                               const std::uint32_t* previous) const noexcept {
    alignas(16) float spectrum[kSamples];
    std::memcpy(spectrum, buffer_, sizeof spectrum);
    fft::realFft(kSamples, spectrum);
    spectrum[kSamples / 2] = 0.f;
    spectrum[0] = 0.f;
    fft::magnitudePass(spectrum);
    std::memcpy(picture, previous + 1, (kPicturePixels - 1) * sizeof(std::uint32_t));
    picture[kPicturePixels - 1] = previous[kPicturePixels - 1];
    for (int i = 0; i < kPictureHeight; ++i) {
        float scaled = spectrum[i] * 16.f;
        if (!(scaled >= 0.f)) scaled = 0.f;
        const std::uint32_t l = scaled > 255.f ? 255u : static_cast<std::uint32_t>(scaled);
        picture[(kPictureHeight - 1 - i) * kPictureWidth + kPictureWidth - 1] =
            ((128u + l / 2) << 24) | (l << 16) | (l << 8);
    }
}

}  // namespace audio
