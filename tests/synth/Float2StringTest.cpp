#include "synth/Float2String.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string display(float v) {
    char text[16];
    synth::float2string(v, text, 8);
    return text;
}

TEST(Float2String, EightSlotsWithTheFractionTruncated) {
    EXPECT_EQ(display(0.5f), "0.500000");
    EXPECT_EQ(display(1.f), "1.000000");
    EXPECT_EQ(display(0.f), "0.000000");
    EXPECT_EQ(display(0.7f), "0.699999");
    EXPECT_EQ(display(12.5f), "12.50000");
    EXPECT_EQ(display(-0.5f), "-0.50000");
    EXPECT_EQ(display(1234567.f), "1234567.");
    EXPECT_EQ(display(1e9f), "Huge!");
}

TEST(Float2String, NeverWritesPastMaxLength) {
    char text[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
    synth::float2string(0.25f, text, 4);
    EXPECT_STREQ(text, "0.25");
    EXPECT_EQ(text[5], '#');
}

}  // namespace
