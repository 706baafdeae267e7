#include "modules/SharedMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

TEST(SharedMath, FastPowersHitTheirExamples) {
    EXPECT_EQ(math::fastPow2(0.f), 1.f);
    EXPECT_EQ(math::fastPow2(12.f), 4096.f);
    EXPECT_NEAR(math::fastPow2(8.78136f), 440.f, 0.01f);
    EXPECT_FLOAT_EQ(math::fastPow10(3.f), 1000.f);
    // Interpolation between 1/1024 steps keeps the error far below 0.01 %.
    for (float x = 0.f; x < 20.f; x += 0.0137f)
        ASSERT_NEAR(math::fastPow2(x) / std::exp2(x), 1.0, 1e-6) << x;
}

TEST(SharedMath, FastPowersHoldArgumentsOutsideTheirRange) {
    EXPECT_EQ(math::fastPow2(-3.f), 1.f);
    EXPECT_EQ(math::fastPow2(std::nanf("")), 1.f);
    EXPECT_TRUE(std::isinf(math::fastPow2(1000.f)));
}

TEST(SharedMath, SoftClip) {
    EXPECT_EQ(math::softClip(2.f), 1.f);
    EXPECT_FLOAT_EQ(math::softClip(1.5f), 0.99375f);
    EXPECT_FLOAT_EQ(math::softClip(1.f), 0.85f);
    EXPECT_EQ(math::softClip(-2.f), -1.f);
    EXPECT_EQ(math::softClip(0.f), 0.f);
    // Four frames at a time, the same bits, NaN and the edges included.
    alignas(16) float frames[2 * 11];
    const float values[] = {2.f, 1.5f, 1.f, -2.f, 0.f, -0.f, -1.5f, 1.50001f, 0.3f, -0.7f, NAN};
    for (int i = 0; i < 11; ++i) {
        frames[2 * i] = values[i];
        frames[2 * i + 1] = -values[10 - i];
    }
    float left[11], right[11];
    math::softClipFrames(frames, left, right, 11);
    for (int i = 0; i < 11; ++i) {
        const float l = math::softClip(values[i]), r = math::softClip(-values[10 - i]);
        EXPECT_EQ(std::memcmp(&left[i], &l, sizeof l), 0) << values[i];
        EXPECT_EQ(std::memcmp(&right[i], &r, sizeof r), 0) << -values[10 - i];
    }
}

TEST(SharedMath, SineTableReadsSinesAndCosines) {
    EXPECT_EQ(math::sine(0), 0.f);
    EXPECT_FLOAT_EQ(math::sine(8192), 1.f);
    EXPECT_FLOAT_EQ(math::cosine(0), 1.f);
    EXPECT_FLOAT_EQ(math::cosine(16384), -1.f);
    EXPECT_FLOAT_EQ(math::sine(32768 + 8192), 1.f);  // indices wrap
    EXPECT_NEAR(math::sine(1000), std::sin(2 * M_PI * 1000 / 32768), 1e-6);
}

}  // namespace
