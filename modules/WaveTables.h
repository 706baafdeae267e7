#pragma once

#include <cstdint>

namespace audio {

constexpr int kPictureWidth = 512;
constexpr int kPictureHeight = 512;
constexpr int kPicturePixels = kPictureWidth * kPictureHeight;
constexpr int kTableLength = 1024;                // samples of one column's wave
constexpr int kTableColumns = kPictureWidth + 1;  // the last column stays silent

// One picture of 32-bit pixels 0xAARRGGBB, rows from the top down.
struct alignas(64) Picture {
    std::uint32_t pixels[kPicturePixels];
};

// The waves of every column of a picture, left and right interleaved (the
// oscillator reads both channels at the same index), with the grain values
// derived by the same rebuild.
struct alignas(64) WaveTableSet {
    float wave[kTableColumns][kTableLength][2];
    float rowScale = 0.f;
    float fadeLength = 256.f;
    float grainEnd = 512.f;

    float left(int column, int t) const { return wave[column][t][0]; }
    float right(int column, int t) const { return wave[column][t][1]; }
};

inline int redOf(std::uint32_t pixel) {
    return static_cast<int>((pixel >> 16) & 0xFF);
}
inline int greenOf(std::uint32_t pixel) {
    return static_cast<int>((pixel >> 8) & 0xFF);
}
inline int blueOf(std::uint32_t pixel) {
    return static_cast<int>(pixel & 0xFF);
}

}  // namespace audio
