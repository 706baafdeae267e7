#include "modules/SharedMath.h"

#include <gtest/gtest.h>

#include <cmath>

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
