// The one way a render becomes 16- or 24-bit samples, for every file type and
// both builds: triangular (TPDF) dither of one least significant bit either
// way, then rounding. The noise comes from a seeded generator of our own in
// integer arithmetic, so a render gives the same samples every time, on Linux
// and on Windows alike.
#pragma once

#include <cstdint>

namespace render {

class TpdfDither {
  public:
    static constexpr std::uint64_t kSeed = 0x4C4D'5658'7470'6466ull;

    explicit TpdfDither(std::uint64_t seed = kSeed) : state_(seed ? seed : kSeed) {}

    // x at full scale 1.0 to a sample of bits (16 or 24), in
    // -2^(bits-1) .. 2^(bits-1) - 1; NaN gives 0.
    std::int32_t quantise(float x, int bits);

  private:
    // xorshift64*: ample for noise, and exact everywhere.
    std::uint64_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    std::uint64_t state_;
};

}  // namespace render
