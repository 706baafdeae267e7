// Seeded randomness for the torture sessions, leaning towards what breaks
// plug-ins: values just outside their range, infinities, NaN, denormals,
// zero and huge numbers.
#pragma once

#include <cstdint>
#include <limits>
#include <random>

namespace torture {

class Nasty {
  public:
    explicit Nasty(std::uint32_t seed) : engine_(seed) {}

    int between(int low, int high) {  // both included
        return std::uniform_int_distribution<int>(low, high)(engine_);
    }
    bool chance(double p) { return std::bernoulli_distribution(p)(engine_); }
    float unit() { return std::uniform_real_distribution<float>(0.f, 1.f)(engine_); }

    // A parameter value as hosts and validators send them: mostly in range,
    // often on its edges, sometimes not a number at all.
    float value() {
        constexpr float kOdd[] = {0.f,
                                  1.f,
                                  -0.f,
                                  -1.f,
                                  2.f,
                                  0.99999994f,
                                  1.0000001f,
                                  1e-40f,  // denormal
                                  -1e-40f,
                                  1e30f,
                                  -1e30f,
                                  std::numeric_limits<float>::infinity(),
                                  -std::numeric_limits<float>::infinity(),
                                  std::numeric_limits<float>::quiet_NaN(),
                                  -std::numeric_limits<float>::quiet_NaN(),
                                  std::numeric_limits<float>::max(),
                                  std::numeric_limits<float>::lowest()};
        if (chance(0.6)) return unit();
        return kOdd[between(0, static_cast<int>(std::size(kOdd)) - 1)];
    }
    float sampleRate() {
        constexpr float kRates[] = {44100.f, 48000.f, 96000.f,  8000.f,   11025.f,
                                    22050.f, 88200.f, 192000.f, 384000.f, 768000.f,
                                    1.f,     0.f,     -44100.f, 1e9f,     999.f};
        if (chance(0.1)) return value();
        return kRates[between(0, static_cast<int>(std::size(kRates)) - 1)];
    }
    double tempo() {
        constexpr double kTempos[] = {120.0, 60.0, 174.0, 30.0, 999.0, 0.0, -120.0, 1e-300, 1e300};
        if (chance(0.15)) return value();
        return kTempos[between(0, static_cast<int>(std::size(kTempos)) - 1)];
    }
    // An integer argument (index, value) of a request: small, or far out.
    int integer() {
        if (chance(0.8)) return between(-2, 40);
        return chance(0.5) ? between(std::numeric_limits<int>::min(), -3)
                           : between(41, std::numeric_limits<int>::max());
    }

  private:
    std::mt19937 engine_;
};

}  // namespace torture
