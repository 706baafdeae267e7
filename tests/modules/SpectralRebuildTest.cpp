// Pictures into wave tables: where each row lands, how loud, in which phase.
#include "modules/SpectralRebuild.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "modules/RealFft.h"
#include "modules/SharedMath.h"

namespace {

using audio::kPicturePixels;
using audio::RebuildSettings;
using audio::WaveTableSet;

constexpr float kFullRedPartial = 255.f / 4096.f;

struct Rebuild : testing::Test {
    std::vector<std::uint32_t> picture = std::vector<std::uint32_t>(kPicturePixels, 0);
    std::unique_ptr<WaveTableSet> tables = std::make_unique<WaveTableSet>();
    RebuildSettings settings;  // Tune 0.5, Range 0.5, linear, Fat 0, Spike 0, Filter 1

    void setSoundRow(int soundRow, std::uint32_t colour, int column = -1) {
        for (int x = 0; x < 512; ++x)
            if (column < 0 || x == column) picture[(511 - soundRow) * 512 + x] = colour;
    }
    void build() { audio::rebuildWaveTables(picture.data(), settings, *tables); }
    // Amplitude of bin k in a column's wave, by correlation.
    double binAmplitude(int column, int k, bool left = true) const {
        double c = 0, s = 0;
        for (int t = 0; t < 1024; ++t) {
            const double v = left ? tables->left(column, t) : tables->right(column, t);
            c += v * std::cos(2 * M_PI * k * t / 1024);
            s += v * std::sin(2 * M_PI * k * t / 1024);
        }
        return 2 * std::sqrt(c * c + s * s) / 1024;
    }
    bool columnSilent(int column, bool left) const {
        for (int t = 0; t < 1024; ++t)
            if ((left ? tables->left(column, t) : tables->right(column, t)) != 0.f) return false;
        return true;
    }
};

TEST_F(Rebuild, OneRedPixelAtRow16IsACosineAtTheFundamentalOnTheLeftOnly) {
    settings.range = 1.f;
    setSoundRow(16, 0x00FF0000, 200);
    build();
    for (int t = 0; t < 1024; ++t)
        ASSERT_NEAR(tables->left(200, t), kFullRedPartial * std::cos(2 * M_PI * 16 * t / 1024),
                    2e-6)
            << t;
    EXPECT_TRUE(columnSilent(200, false));
    EXPECT_TRUE(columnSilent(199, true));
    EXPECT_TRUE(columnSilent(512, true));
}

TEST_F(Rebuild, BlackIsSilence) {
    build();
    for (int x = 0; x <= 512; ++x)
        ASSERT_TRUE(columnSilent(x, true) && columnSilent(x, false));
}

TEST_F(Rebuild, OnlyTheLowestOfRowsSharingABinIsHeard) {
    settings.range = 0.f;             // 0.05 bins per row: rows 16 and 17 share bin 16
    setSoundRow(16, 0x00400000, 10);  // red 64
    setSoundRow(17, 0x00FF0000, 10);  // red 255, not heard
    build();
    EXPECT_NEAR(binAmplitude(10, 16), 64.f / 4096.f, 1e-6);
}

TEST_F(Rebuild, TheRowOnBin1AndTheBottomRowWriteNothing) {
    settings.range = 1.f;  // 0.95 bins per row: row 1 lands on bin 1, row 0 on bin 0
    setSoundRow(0, 0x00FF0000, 3);
    setSoundRow(1, 0x00FF0000, 3);
    setSoundRow(2, 0x00FF0000, 4);  // bin 2 is written
    build();
    EXPECT_TRUE(columnSilent(3, true));
    EXPECT_NEAR(binAmplitude(4, 2), kFullRedPartial, 1e-6);
}

TEST_F(Rebuild, LogarithmicSpacingPutsAnOctaveEvery64OverRowScaleRows) {
    settings.log = 1.f;
    settings.range = 0.5f;                 // row scale 0.5: an octave every 128 rows
    setSoundRow(16 + 128, 0x00FF0000, 0);  // bin 32
    setSoundRow(16 + 256, 0x0000FF00, 1);  // bin 64, right channel
    build();
    EXPECT_NEAR(binAmplitude(0, 32), kFullRedPartial * std::pow(1.f, 0), 5e-4);
    EXPECT_NEAR(binAmplitude(1, 64, false), kFullRedPartial, 5e-4);

    settings.log = 0.5f;  // the switch truncates: linear
    std::unique_ptr<WaveTableSet> logHalf = std::move(tables);
    tables = std::make_unique<WaveTableSet>();
    audio::rebuildWaveTables(picture.data(), settings, *logHalf);
    settings.log = 0.f;
    build();
    EXPECT_EQ(std::memcmp(logHalf->wave, tables->wave, sizeof tables->wave), 0);
}

TEST_F(Rebuild, FilterTiltsHigherRowsDown) {
    settings.range = 1.f;
    settings.filter = 0.f;  // tilt 0.99 per row
    setSoundRow(16, 0x00FF0000, 0);
    build();
    EXPECT_NEAR(binAmplitude(0, 16), kFullRedPartial * std::pow(0.99, 17), 1e-6);
}

TEST_F(Rebuild, GrainValuesFollowSpikeAndRowScaleFollowsRange) {
    settings.spike = 1.f;
    settings.range = 1.f;
    build();
    EXPECT_EQ(tables->fadeLength, 0.f);
    EXPECT_EQ(tables->grainEnd, 256.f);
    EXPECT_FLOAT_EQ(tables->rowScale, 0.95f);
}

// The rebuild as a direct walk of the cursor through every row of every
// column, carrying the seed in float: what the row map must reproduce.
void referenceRebuild(const std::uint32_t* picture, const RebuildSettings& s, WaveTableSet& out) {
    const int tuneOffset = static_cast<int>((s.tune - 0.5f) * 512.f);
    const bool logarithmic = static_cast<int>(s.log) != 0;
    const float rowScale = s.range * 0.9f + 0.05f;
    const float tilt = s.filter * 0.01f + 0.99f;
    float seed = 0.f;
    for (int x = 0; x < 512; ++x) {
        float left[1024] = {}, right[1024] = {};
        float g = 1.f;
        int q = 0;
        for (int r = 0; r < 512; ++r) {
            const std::uint32_t p = picture[(511 - r) * 512 + x];
            const float e = static_cast<float>(r + tuneOffset - 16) * rowScale;
            const int bin = logarithmic ? static_cast<int>(16.f * (e >= 0 ? math::fastPow2(e / 64.f)
                                                                          : std::exp2(e / 64.f)))
                                        : static_cast<int>(e + 16.f);
            g *= tilt;
            while (q < bin) {
                if (q >= 1 && q <= 510 && bin <= 511) {
                    const float prod = static_cast<float>(q) * seed;
                    const float f = (prod - std::trunc(prod)) * s.fat * 0.5f;
                    const int i = static_cast<int>(f * 32768.f);
                    const float c = math::cosine(i), sn = math::sine(i);
                    const float aL = static_cast<float>(audio::redOf(p)) * 0.125f * g;
                    const float aR = static_cast<float>(audio::greenOf(p)) * 0.125f * g;
                    left[bin] = c * aL;
                    left[1024 - bin] = -sn * aL;
                    right[bin] = c * aR;
                    right[1024 - bin] = -sn * aR;
                }
                ++q;
                seed = seed + 0.09765625f;
                seed = seed - std::trunc(seed);
            }
        }
        bool anyLeft = false, anyRight = false;
        for (int k = 0; k < 1024; ++k) {
            anyLeft |= left[k] != 0.f;
            anyRight |= right[k] != 0.f;
        }
        if (anyLeft && anyRight) {
            fft::inverseRealFftPair(1024, left, right);
        } else {
            fft::inverseRealFft(1024, left);
            fft::inverseRealFft(1024, right);
        }
        for (int t = 0; t < 1024; ++t) {
            out.wave[x][t][0] = left[t];
            out.wave[x][t][1] = right[t];
        }
    }
}

TEST_F(Rebuild, MatchesTheDirectCursorWalkOnBusyPictures) {
    const unsigned seed = 20261208;
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    for (auto& p : picture)
        p = random() & 0x00FFFFFF;
    const RebuildSettings cases[] = {{0.5f, 0.5f, 0.f, 0.43f, 0.f, 1.f},
                                     {0.37f, 0.94f, 1.f, 0.47f, 0.52f, 1.f},
                                     {0.8f, 0.1f, 1.f, 1.f, 0.f, 0.3f},
                                     {0.f, 1.f, 0.f, 0.f, 0.f, 0.f},
                                     {1.f, 1.f, 1.f, 0.7f, 0.f, 1.f}};
    auto expected = std::make_unique<WaveTableSet>();
    for (const RebuildSettings& s : cases) {
        settings = s;
        build();
        referenceRebuild(picture.data(), s, *expected);
        for (int x = 0; x < 512; ++x)
            ASSERT_EQ(std::memcmp(expected->wave[x], tables->wave[x], sizeof tables->wave[x]), 0)
                << "column " << x << " tune " << s.tune << " log " << s.log;
    }
}

}  // namespace
