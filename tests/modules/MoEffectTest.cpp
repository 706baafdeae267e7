// The effects, fed impulses and steady signals by hand.
#include "modules/MoEffect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "modules/SharedMath.h"
#include "tests/support/FakeModuleHost.h"

namespace {

using audio::MoEffect;

class Effects : public testing::Test {
  protected:
    Effects() : fx(makeEffect()) {}
    // A fresh effects module (all lines empty) reading the fixture's values.
    std::unique_ptr<MoEffect> makeEffect() {
        auto e = std::make_unique<MoEffect>(host);
        e->input = &in;
        e->volume = &volume;
        e->pan = &pan;
        e->delayTime = &delayTime;
        e->delayLevel = &delayLevel;
        e->delayFeedback = &feedback;
        e->chorusLevel = &chorusLevel;
        e->chorusRate = &chorusRate;
        e->reverbTime = &reverbTime;
        e->reverbLevel = &reverbLevel;
        e->reverbStereo = &reverbStereo;
        return e;
    }
    void changed() { fx->parameterChanged(0, 0.f); }
    // Runs frames of input (left, right given per frame by source) in
    // sub-blocks of 88 with a tick each, and returns the output frames.
    template <typename Source>
    std::vector<std::pair<float, float>> run(int frames, Source source) {
        std::vector<std::pair<float, float>> out;
        for (int done = 0; done < frames; done += 88) {
            const int n = std::min(88, frames - done);
            for (int f = 0; f < n; ++f) {
                auto [l, r] = source(done + f);
                in.left(f) = l;
                in.right(f) = r;
            }
            fx->process(n, 1);
            for (int f = 0; f < n; ++f)
                out.push_back({fx->output.left(f), fx->output.right(f)});
        }
        return out;
    }
    static auto impulse() {
        return [](int t) {
            return std::pair<float, float>{t == 0 ? 0.5f : 0.f, t == 0 ? 0.5f : 0.f};
        };
    }
    // Frames after the first at which a channel's output jumps.
    static std::vector<int> echoes(const std::vector<std::pair<float, float>>& out, bool left) {
        std::vector<int> at;
        for (size_t t = 1; t < out.size(); ++t) {
            const float now = left ? out[t].first : out[t].second;
            const float before = left ? out[t - 1].first : out[t - 1].second;
            if (now - before > 0.05f) at.push_back(static_cast<int>(t));
        }
        return at;
    }

    testsupport::FakeModuleHost host;
    std::unique_ptr<MoEffect> fx;
    audio::StereoBuffer in;
    audio::ParameterValue volume{0.5f}, pan{0.5f}, delayTime{0.5f}, delayLevel{0.f}, feedback{0.f},
        chorusLevel{0.f}, chorusRate{0.f}, reverbTime{0.2f}, reverbLevel{0.f}, reverbStereo{0.5f};
};

TEST_F(Effects, DelayLengthIsTheDelayBaseTimesTheNoteValue) {
    EXPECT_EQ(fx->delayLength(), 11025);  // [1/8] of 88200
    delayTime.store(1.f);
    EXPECT_EQ(fx->delayLength(), 88200);
    delayTime.store(0.1f);
    EXPECT_EQ(fx->delayLength(), 88200 / 32);
    host.base = 0;
    EXPECT_EQ(fx->delayLength(), 0);
}

TEST_F(Effects, TheEchoLandsAtTheDelayWithItsFeedback) {
    delayLevel.store(1.f);
    feedback.store(0.5f);  // 0.45 per round
    const auto out = run(11025 * 2 + 100, impulse());
    const auto at = echoes(out, true);
    ASSERT_EQ(at.size(), 2u);
    EXPECT_EQ(at[0], 11025);
    EXPECT_EQ(at[1], 2 * 11025);
    EXPECT_NEAR(out[2 * 11025].first / out[11025].first, 0.45, 0.01);
}

TEST_F(Effects, ChorusTapsSitAt1400And1600SamplesWhenItsRateIsZero) {
    chorusLevel.store(1.f);
    const auto out = run(2000, impulse());
    EXPECT_EQ(fx->lfoCoefficient(), 0.f);
    EXPECT_EQ(echoes(out, true), std::vector<int>{1400});
    EXPECT_EQ(echoes(out, false), std::vector<int>{1600});
}

TEST_F(Effects, PanIsConstantPower) {
    // A 1 kHz tone, measured once the DC blockers have settled.
    auto tone = [](int t) {
        const float v = 0.1f * static_cast<float>(std::sin(2 * M_PI * 1000 * t / 44100));
        return std::pair<float, float>{v, v};
    };
    auto rms = [&](float p) {
        pan.store(p);
        const auto out = run(44100, tone);
        double l = 0, r = 0;
        for (size_t t = 22050; t < out.size(); ++t) {
            l += out[t].first * out[t].first;
            r += out[t].second * out[t].second;
        }
        return std::pair<double, double>{std::sqrt(l / 22050), std::sqrt(r / 22050)};
    };
    const auto centre = rms(0.5f);
    EXPECT_NEAR(centre.first, centre.second, 1e-6);
    const auto hard = rms(0.f);
    EXPECT_NEAR(centre.first / hard.first, 0.70710677, 0.01);
    EXPECT_EQ(hard.second, 0.0);
    const auto right = rms(1.f);
    EXPECT_LT(right.first, right.second * 1e-6);  // the sine table's sin(pi) is not quite 0
    EXPECT_NEAR(right.second, hard.first, hard.first * 0.01);
}

TEST_F(Effects, ReverbFreezesAtLevelZeroAndContinuesLater) {
    reverbLevel.store(1.f);
    changed();
    const auto wet = run(3000, impulse());

    // Two instances that hear the same, one with its reverb frozen at level
    // 0, the other with it off (time 0): level 0 adds nothing.
    auto frozen = makeEffect();
    auto off = makeEffect();
    audio::ParameterValue zero{0.f}, timeOff{0.f};
    frozen->reverbLevel = &zero;
    off->reverbLevel = &zero;
    off->reverbTime = &timeOff;
    auto runBoth = [&](int frames, bool withImpulse) {
        bool same = true;
        for (int done = 0; done < frames; done += 88) {
            for (int f = 0; f < 88; ++f)
                in.left(f) = in.right(f) = withImpulse && done + f == 0;
            frozen->process(88, 1);
            off->process(88, 1);
            same &= std::memcmp(frozen->output.samples, off->output.samples,
                                sizeof frozen->output.samples) == 0;
        }
        return same;
    };
    EXPECT_TRUE(runBoth(3000, true));
    EXPECT_NE(std::memcmp(&wet[700], &wet[699], sizeof wet[0]), 0);
    // Raised again, the reverb answers the signal that follows.
    zero.store(1.f);
    frozen->parameterChanged(0, 0.f);
    EXPECT_FALSE(runBoth(3000, true));
}

TEST_F(Effects, CombGainsDecaySixtyDecibelsInTheReverbTime) {
    reverbTime.store(1.f);  // 4 s
    changed();
    // A comb of 601 samples passes 44100 x 4 / 601 times in 4 s.
    EXPECT_NEAR(std::pow(fx->combGain(0, 0), 44100.0 * 4 / 601), 1e-3, 1e-5);
    EXPECT_NEAR(std::pow(fx->combGain(1, 11), 44100.0 * 4 / 1153), 1e-3, 1e-5);
}

TEST_F(Effects, InputIsSoftClippedBeforeAnything) {
    for (auto [x, y] : {std::pair{2.f, 1.f}, {1.5f, 0.99375f}, {1.f, 0.85f}, {-2.f, -1.f}}) {
        fx = makeEffect();
        const auto out = run(1, [x = x](int) { return std::pair<float, float>{x, x}; });
        EXPECT_NEAR(out[0].first, y * 0.70710677f, 1e-5) << x;  // the blockers start at rest
    }
}

// The effects as they were first written: every stage frame by frame, the
// reverb's twelve combs per channel one sample at a time in a frame-major
// buffer. The block-wise module must give the same output within float
// rounding (in practice to the bit).
class FrameByFrameEffect {
  public:
    struct Values {
        float chorusRate, chorusLevel, delayTime, delayFeedback, delayLevel, volume, pan,
            reverbTime, reverbLevel, reverbStereo;
    };
    FrameByFrameEffect()
        : delayLeft_(MoEffect::kDelayLength),
          delayRight_(MoEffect::kDelayLength),
          combs_(2 * MoEffect::kCombLength * MoEffect::kCombs) {}

    // gains: the module's comb gains; level, stereo: its reverb values.
    void process(const audio::StereoBuffer& in, audio::StereoBuffer& out, int frames, int ticks,
                 const Values& p, int delayBase, const float (&gains)[2][MoEffect::kCombs],
                 float level, float stereo) {
        constexpr int kCombs = MoEffect::kCombs, kCombLength = MoEffect::kCombLength;
        if (ticks) {
            const float k = p.chorusRate * 1e-07f;
            if (k != lfoCoefficient_) {
                lfoCoefficient_ = k;
                lfoSine_ = 1.f;
                lfoCosine_ = 0.f;
            }
        }
        const int note = std::clamp(static_cast<int>(9.f * p.delayTime), 0, 9);
        const int d = std::clamp(
            static_cast<int>(static_cast<float>(delayBase) * MoEffect::kNoteValues[note]), 0,
            MoEffect::kDelayLength - 1);
        const float feedback = p.delayFeedback * 0.9f;
        const float v = 2.f * p.volume;
        const int panIndex = static_cast<int>(p.pan * 0.25f * 32768.f);
        const float rightGain = v * math::sine(panIndex);
        const float leftGain = v * math::sine(panIndex + math::kQuarterPeriod);
        const bool reverbOn = level != 0.f && p.reverbTime != 0.f;
        constexpr int kDelayMask = MoEffect::kDelayLength - 1, kChorusMask = 4095;
        for (int f = 0; f < frames; ++f) {
            const float aL = inL_.run(math::softClip(in.left(f)));
            const float aR = inR_.run(math::softClip(in.right(f)));
            lfoSine_ = std::clamp(lfoSine_ + lfoCosine_, -1.f, 1.f);
            lfoCosine_ = lfoCosine_ - lfoSine_ * lfoCoefficient_;
            delayIndex_ = (delayIndex_ + 1) & kDelayMask;
            chorusIndex_ = (chorusIndex_ + 1) & kChorusMask;
            const int r = (delayIndex_ - d) & kDelayMask;
            const float tL = delayLeft_[r], tR = delayRight_[r];
            delayLeft_[delayIndex_] = tL * feedback + aL + 1e-12f;
            delayRight_[delayIndex_] = tR * feedback + aR + 1e-12f;
            const float wL = tL * p.delayLevel + aL, wR = tR * p.delayLevel + aR;
            chorusLeft_[chorusIndex_] = wL;
            chorusRight_[chorusIndex_] = wR;
            const float m = lfoSine_ * 100.f;
            const int mi = static_cast<int>(m);
            const float fraction = m - static_cast<float>(mi);
            const int iL = (chorusIndex_ + mi - 1500) & kChorusMask;
            const float cL = (chorusLeft_[(iL + 1) & kChorusMask] - chorusLeft_[iL]) * fraction +
                             chorusLeft_[iL];
            const int iR = (chorusIndex_ - 1500 - mi) & kChorusMask;
            const float cR = (chorusRight_[(iR - 1) & kChorusMask] - chorusRight_[iR]) * fraction +
                             chorusRight_[iR];
            float yL = cL * p.chorusLevel + wL, yR = cR * p.chorusLevel + wR;
            if (reverbOn) {
                const float input[2] = {yL, yR};
                combIndex_ = (combIndex_ + 1) & (kCombLength - 1);
                float sum[2] = {0.f, 0.f};
                for (int c = 0; c < 2; ++c)
                    for (int j = 0; j < kCombs; ++j) {
                        const int back =
                            (combIndex_ - MoEffect::kCombDelays[c][j]) & (kCombLength - 1);
                        const float value = comb(c, back, j) * gains[c][j];
                        comb(c, combIndex_, j) = input[c] + value;
                        sum[c] += value;
                    }
                yL = yL + ((0.5f + stereo) * sum[0] + (0.5f - stereo) * sum[1]) * level;
                yR = yR + ((0.5f + stereo) * sum[1] + (0.5f - stereo) * sum[0]) * level;
            }
            out.left(f) = outL_.run(yL * leftGain);
            out.right(f) = outR_.run(yR * rightGain);
        }
    }

  private:
    float& comb(int c, int frame, int j) {
        return combs_[(static_cast<std::size_t>(c) * MoEffect::kCombLength + frame) *
                          MoEffect::kCombs +
                      j];
    }
    audio::DcBlocker inL_, inR_, outL_, outR_;
    std::vector<float> delayLeft_, delayRight_, combs_;
    float chorusLeft_[4096] = {}, chorusRight_[4096] = {};
    int delayIndex_ = 0, chorusIndex_ = 0, combIndex_ = 0;
    float lfoSine_ = 1.f, lfoCosine_ = 0.f, lfoCoefficient_ = 2e-08f;
};

TEST_F(Effects, BlockWiseProcessingMatchesTheFrameByFrameForm) {
    const unsigned seed = 5150;
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> unit(0.f, 1.f), signal(-1.7f, 1.7f);
    FrameByFrameEffect reference;
    audio::StereoBuffer expected;
    audio::ParameterValue* values[] = {&chorusRate,  &chorusLevel, &delayTime, &feedback,
                                       &delayLevel,  &volume,      &pan,       &reverbTime,
                                       &reverbLevel, &reverbStereo};
    double worst = 0;
    for (int block = 0; block < 3000; ++block) {
        if (block % 50 == 0) {  // new settings now and then, some of them off
            for (audio::ParameterValue* value : values)
                value->store(rng() % 4 == 0 ? 0.f : unit(rng));
            // Tempos up to very fast ones, where the delay is shorter than a sub-block.
            host.base = rng() % 3 == 0 ? static_cast<int>(rng() % 2000) : 88200;
            changed();
        }
        const int frames = 1 + static_cast<int>(rng() % 256);
        for (int f = 0; f < frames; ++f) {
            in.left(f) = signal(rng) * (block % 7 == 0 ? 0.f : 1.f);
            in.right(f) = signal(rng);
        }
        const int ticks = static_cast<int>(rng() % 2);
        float gains[2][MoEffect::kCombs];
        for (int c = 0; c < 2; ++c)
            for (int j = 0; j < MoEffect::kCombs; ++j)
                gains[c][j] = fx->combGain(c, j);
        const FrameByFrameEffect::Values p{
            chorusRate.load(),  chorusLevel.load(), delayTime.load(), feedback.load(),
            delayLevel.load(),  volume.load(),      pan.load(),       reverbTime.load(),
            reverbLevel.load(), reverbStereo.load()};
        reference.process(in, expected, frames, ticks, p, host.base, gains,
                          reverbLevel.load() * 0.2f, reverbStereo.load() * 0.5f);
        fx->process(frames, ticks);
        for (int i = 0; i < 2 * frames; ++i) {
            const double e = expected.samples[i], a = fx->output.samples[i];
            worst = std::max(worst, std::fabs(a - e));
            ASSERT_NEAR(a, e, 1e-5 * std::max(1.0, std::fabs(e)))
                << "block " << block << " sample " << i;
        }
    }
    EXPECT_LT(worst, 1e-5);
}

}  // namespace
