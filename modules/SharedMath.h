// Math shared by the modules and the synth framework: the sine table, the
// power tables behind fastPow2/fastPow10, the soft clip and the word fill.
// The tables are built once per process, on first use; the framework touches
// them while an instance is constructed so the audio thread never builds them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace math {

constexpr int kSineTableSize = 32768;
constexpr int kSineMask = kSineTableSize - 1;
constexpr int kQuarterPeriod = kSineTableSize / 4;  // added to an index to read a cosine
constexpr int kPowerIntEntries = 256;
constexpr int kPowerFracSteps = 1024;

struct Tables {
    float sine[kSineTableSize];            // sin(2 pi i / 32768)
    float pow2Int[kPowerIntEntries];       // 2^i, +inf above 2^127
    float pow2Frac[kPowerFracSteps + 1];   // 2^(i/1024)
    float pow10Int[kPowerIntEntries];      // 10^i, +inf above 10^38
    float pow10Frac[kPowerFracSteps + 1];  // 10^(i/1024)
};

const Tables& tables();

inline float sine(int index) {
    return tables().sine[index & kSineMask];
}
inline float cosine(int index) {
    return tables().sine[(index + kQuarterPeriod) & kSineMask];
}

// base^x for 0 <= x < 256, interpolated linearly between steps of 1/1024 of
// the exponent. Arguments outside that range are held at its edges.
float fastPow(float x, const float* intPowers, const float* fracPowers);
inline float fastPow2(float x) {
    return fastPow(x, tables().pow2Int, tables().pow2Frac);
}
inline float fastPow10(float x) {
    return fastPow(x, tables().pow10Int, tables().pow10Frac);
}

// Cubic soft clip, hard-limited to +-1 beyond +-1.5.
inline float softClip(float x) {
    if (x > 1.5f) return 1.f;
    if (x < -1.5f) return -1.f;
    return x - 0.15f * x * x * x;
}

// softClip of frames interleaved stereo frames (left, right, ...) into two
// lines; interleaved is 16-byte aligned. The same results as softClip sample
// by sample, four frames at a time.
void softClipFrames(const float* interleaved, float* left, float* right, int frames) noexcept;

void wordFill(std::uint32_t* destination, std::uint32_t value, std::size_t count);

}  // namespace math
