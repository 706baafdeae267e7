#include "modules/MoEffect.h"

#include <algorithm>
#include <cmath>

#include "modules/CombFilter.h"
#include "modules/SharedMath.h"

namespace audio {

MoEffect::MoEffect(ModuleHost& host)
    : Module(host),
      delayLines_(host, 2 * kDelayLength, ZeroedArray<float>::Pages::Now),
      delayLeft_(&delayLines_[0]),
      delayRight_(&delayLines_[kDelayLength]) {
    for (auto& channel : combGain_)
        for (auto& gain : channel)
            gain.store(0.f, std::memory_order_relaxed);
    updateReverbGains();
}

void MoEffect::parameterChanged(int, float) {
    updateReverbGains();
}

// Each comb decays by 60 dB in the reverb time, 0.1 to 4 seconds.
void MoEffect::updateReverbGains() {
    const float seconds = read(reverbTime) * 3.9f + 0.1f;
    for (int c = 0; c < 2; ++c)
        for (int j = 0; j < kCombs; ++j) {
            const double exponent =
                (-3.0 * kCombDelays[c][j] / static_cast<double>(sampleRate)) / seconds;
            combGain_[c][j].store(static_cast<float>(std::pow(10.0, exponent)),
                                  std::memory_order_relaxed);
        }
    reverbLevel_.store(read(reverbLevel) * 0.2f, std::memory_order_relaxed);
    reverbStereo_.store(read(reverbStereo) * 0.5f, std::memory_order_relaxed);
}

int MoEffect::delayLength() const {
    const int note = std::clamp(static_cast<int>(9.f * read(delayTime)), 0, 9);
    const int d = static_cast<int>(static_cast<float>(owner.delayBase()) * kNoteValues[note]);
    return std::clamp(d, 0, kDelayLength - 1);
}

// A comb by itself over the whole sub-block (CombFilter.h): the shortest comb
// (601) is longer than any sub-block, so nothing read was written in this
// one. The run is cut where the read or the write position wraps the line.
// Each frame's sum adds the combs in the same order as a frame-by-frame loop,
// so the result is the same to the bit. y is the combs' input until the end.
void MoEffect::reverb(float* const (&y)[2], int n, float level, float stereo) noexcept {
    constexpr int kMask = kCombLength - 1;
    alignas(32) float sum[2][kMaxFrames];
    std::fill_n(sum[0], n, 0.f);
    std::fill_n(sum[1], n, 0.f);
    const int first = (combIndex_ + 1) & kMask;
    for (int c = 0; c < 2; ++c)
        for (int j = 0; j < kCombs; ++j) {
            float* line = combs_[c][j];
            const float gain = combGain(c, j);
            for (int done = 0; done < n;) {
                const int w = (first + done) & kMask;
                const int r = (first + done - kCombDelays[c][j]) & kMask;
                const int run = std::min({n - done, kCombLength - w, kCombLength - r});
                runComb(line + r, line + w, y[c] + done, sum[c] + done, gain, run);
                done += run;
            }
        }
    combIndex_ = (combIndex_ + n) & kMask;
    for (int f = 0; f < n; ++f) {
        y[0][f] = y[0][f] + ((0.5f + stereo) * sum[0][f] + (0.5f - stereo) * sum[1][f]) * level;
        y[1][f] = y[1][f] + ((0.5f + stereo) * sum[1][f] + (0.5f - stereo) * sum[0][f]) * level;
    }
}

void MoEffect::process(int frames, int ticks) noexcept {
    if (ticks) {
        const float k = read(chorusRate) * 1e-07f;
        if (k != lfoCoefficient_) {
            lfoCoefficient_ = k;
            lfoSine_ = 1.f;
            lfoCosine_ = 0.f;
        }
    }
    const int d = delayLength();
    const float feedback = read(delayFeedback) * 0.9f;
    const float delayMix = read(delayLevel);
    const float chorusMix = read(chorusLevel);
    const float v = 2.f * read(volume);
    const int p = static_cast<int>(read(pan) * 0.25f * 32768.f);
    const float rightGain = v * math::sine(p);
    const float leftGain = v * math::sine(p + math::kQuarterPeriod);

    const float level = reverbLevel_.load(std::memory_order_relaxed);
    const float stereo = reverbStereo_.load(std::memory_order_relaxed);
    const bool reverbOn = level != 0.f && read(reverbTime) != 0.f;

    constexpr int kDelayMask = kDelayLength - 1;
    constexpr int kChorusMask = kChorusLength - 1;
    const StereoBuffer& in = *input;
    // The running state in locals: stores to the output buffer could
    // otherwise alias it, and every frame would reload it.
    DcBlocker inL = inputDcLeft_, inR = inputDcRight_, outL = outputDcLeft_, outR = outputDcRight_;
    float lfoSine = lfoSine_, lfoCosine = lfoCosine_;
    const float lfoCoefficient = lfoCoefficient_;
    int delayIndex = delayIndex_, chorusIndex = chorusIndex_;

    // Three passes over the sub-block: delay and chorus frame by frame (the
    // delay may be shorter than a sub-block), the reverb comb by comb, then
    // volume, pan and the output DC blockers.
    alignas(32) float yLeft[kMaxFrames], yRight[kMaxFrames];
    // The input's soft clip ahead, four frames at a time and without a branch
    // per sample (loud input would make them unpredictable).
    alignas(16) float clippedLeft[kMaxFrames], clippedRight[kMaxFrames];
    math::softClipFrames(in.samples, clippedLeft, clippedRight, frames);
    for (int f = 0; f < frames; ++f) {
        const float aL = inL.run(clippedLeft[f]);
        const float aR = inR.run(clippedRight[f]);

        lfoSine = std::clamp(lfoSine + lfoCosine, -1.f, 1.f);
        lfoCosine = lfoCosine - lfoSine * lfoCoefficient;

        delayIndex = (delayIndex + 1) & kDelayMask;
        chorusIndex = (chorusIndex + 1) & kChorusMask;

        // The delay line is written even when its level is 0, so raising the
        // level later plays what was recorded; 1e-12 keeps the feedback path
        // out of denormal numbers.
        const int r = (delayIndex - d) & kDelayMask;
        const float tL = delayLeft_[r];
        const float tR = delayRight_[r];
        delayLeft_[delayIndex] = tL * feedback + aL + 1e-12f;
        delayRight_[delayIndex] = tR * feedback + aR + 1e-12f;
        const float wL = tL * delayMix + aL;
        const float wR = tR * delayMix + aR;

        // Two taps around 1500 samples moving in opposite directions.
        chorusLeft_[chorusIndex] = wL;
        chorusRight_[chorusIndex] = wR;
        const float m = lfoSine * 100.f;
        const int mi = static_cast<int>(m);
        const float fraction = m - static_cast<float>(mi);
        const int iL = (chorusIndex + mi - kChorusCentre) & kChorusMask;
        const float cL =
            (chorusLeft_[(iL + 1) & kChorusMask] - chorusLeft_[iL]) * fraction + chorusLeft_[iL];
        const int iR = (chorusIndex - kChorusCentre - mi) & kChorusMask;
        const float cR =
            (chorusRight_[(iR - 1) & kChorusMask] - chorusRight_[iR]) * fraction + chorusRight_[iR];
        yLeft[f] = cL * chorusMix + wL;
        yRight[f] = cR * chorusMix + wR;
    }

    // With the level or the time at 0 the combs stand still: raising them
    // again continues from what they held.
    if (reverbOn) reverb({yLeft, yRight}, frames, level, stereo);

    for (int f = 0; f < frames; ++f) {
        output.left(f) = outL.run(yLeft[f] * leftGain);
        output.right(f) = outR.run(yRight[f] * rightGain);
    }
    inputDcLeft_ = inL;
    inputDcRight_ = inR;
    outputDcLeft_ = outL;
    outputDcRight_ = outR;
    lfoSine_ = lfoSine;
    lfoCosine_ = lfoCosine;
    delayIndex_ = delayIndex;
    chorusIndex_ = chorusIndex;
}

}  // namespace audio
